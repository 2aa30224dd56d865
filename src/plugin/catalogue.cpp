#include "plugin/catalogue.h"

#include <new>

#include "effects/scale.h"
#include "effects/translate.h"

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", nullptr},
    {"GenericTwist", nullptr},
    {"GenericMagnet", nullptr},
    {"GenericElipsoid", nullptr},
    {"_GenericCosine", nullptr},
    {"_GenericTranslate", &createEffect<GenericTranslate>},
    {"_GenericTranslateFromSpline", nullptr},
    {"_GenericScale", &createEffect<GenericScale>},
    {"_GenericRotate", nullptr},
};
