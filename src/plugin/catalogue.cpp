#include "plugin/catalogue.h"

#include <new>

#include "effects/cosine.h"
#include "effects/harmonik.h"
#include "effects/rotate.h"
#include "effects/translate_from_spline.h"
#include "effects/twist.h"

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", &createEffect<GenericHarmonik>},
    {"GenericTwist", &createEffect<GenericTwist>},
    {"GenericMagnet", nullptr},
    {"GenericElipsoid", nullptr},
    {"_GenericCosine", &createEffect<GenericCosine>},
    {"_GenericTranslate", nullptr},
    {"_GenericTranslateFromSpline", &createEffect<GenericTranslateFromSpline>},
    {"_GenericScale", nullptr},
    {"_GenericRotate", &createEffect<GenericRotate>},
};
