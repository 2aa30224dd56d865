#include "plugin/catalogue.h"

#include <new>

#include "effects/translate.h"

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", nullptr},
    {"GenericTwist", nullptr},
    {"GenericMagnet", nullptr},
    {"GenericElipsoid", nullptr},
    {"_GenericCosine", nullptr},
    {"_GenericTranslate", &createEffect<GenericTranslate>},
    {"_GenericTranslateFromSpline", nullptr},
    {"_GenericScale", nullptr},
    {"_GenericRotate", nullptr},
};
