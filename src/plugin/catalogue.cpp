#include "plugin/catalogue.h"

#include <new>

#include "effects/rotate.h"

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", nullptr},
    {"GenericTwist", nullptr},
    {"GenericMagnet", nullptr},
    {"GenericElipsoid", nullptr},
    {"_GenericCosine", nullptr},
    {"_GenericTranslate", nullptr},
    {"_GenericTranslateFromSpline", nullptr},
    {"_GenericScale", nullptr},
    {"_GenericRotate", &createEffect<GenericRotate>},
};
