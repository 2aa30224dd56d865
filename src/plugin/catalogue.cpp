#include "plugin/catalogue.h"

#include <new>

#include "effects/cosine.h"
#include "effects/elipsoid.h"
#include "effects/harmonik.h"
#include "effects/magnet.h"
#include "effects/rotate.h"
#include "effects/scale.h"
#include "effects/translate.h"
#include "effects/translate_from_spline.h"
#include "effects/twist.h"

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", &createEffect<GenericHarmonik>},
    {"GenericTwist", &createEffect<GenericTwist>},
    {"GenericMagnet", &createEffect<GenericMagnet>},
    {"GenericElipsoid", &createEffect<GenericElipsoid>},
    {"_GenericCosine", &createEffect<GenericCosine>},
    {"_GenericTranslate", &createEffect<GenericTranslate>},
    {"_GenericTranslateFromSpline", &createEffect<GenericTranslateFromSpline>},
    {"_GenericScale", &createEffect<GenericScale>},
    {"_GenericRotate", &createEffect<GenericRotate>},
};
