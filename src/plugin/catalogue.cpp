#include "plugin/catalogue.h"

#include <new>

#include "effects/elipsoid.h"
#include "effects/magnet.h"
#include "effects/scale.h"
#include "effects/translate.h"

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", nullptr},
    {"GenericTwist", nullptr},
    {"GenericMagnet", &createEffect<GenericMagnet>},
    {"GenericElipsoid", &createEffect<GenericElipsoid>},
    {"_GenericCosine", nullptr},
    {"_GenericTranslate", &createEffect<GenericTranslate>},
    {"_GenericTranslateFromSpline", nullptr},
    {"_GenericScale", &createEffect<GenericScale>},
    {"_GenericRotate", nullptr},
};
