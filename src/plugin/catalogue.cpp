#include "plugin/catalogue.h"

#include <new>

#include "effects/elipsoid.h"
#include "effects/scale.h"
#include "effects/translate.h"

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", nullptr},
    {"GenericTwist", nullptr},
    {"GenericMagnet", nullptr},
    {"GenericElipsoid", &createEffect<GenericElipsoid>},
    {"_GenericCosine", nullptr},
    {"_GenericTranslate", &createEffect<GenericTranslate>},
    {"_GenericTranslateFromSpline", nullptr},
    {"_GenericScale", &createEffect<GenericScale>},
    {"_GenericRotate", nullptr},
};
