#include "plugin/catalogue.h"

#include <new>

#include "effects/harmonik.h"
#include "effects/rotate.h"

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", &createEffect<GenericHarmonik>},
    {"GenericTwist", nullptr},
    {"GenericMagnet", nullptr},
    {"GenericElipsoid", nullptr},
    {"_GenericCosine", nullptr},
    {"_GenericTranslate", nullptr},
    {"_GenericTranslateFromSpline", nullptr},
    {"_GenericScale", nullptr},
    {"_GenericRotate", &createEffect<GenericRotate>},
};
