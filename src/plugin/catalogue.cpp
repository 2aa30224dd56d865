#include "plugin/catalogue.h"

#include <new>

#include "effects/cosine.h"
#include "effects/twist.h"

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", nullptr},
    {"GenericTwist", &createEffect<GenericTwist>},
    {"GenericMagnet", nullptr},
    {"GenericElipsoid", nullptr},
    {"_GenericCosine", &createEffect<GenericCosine>},
    {"_GenericTranslate", nullptr},
    {"_GenericTranslateFromSpline", nullptr},
    {"_GenericScale", nullptr},
    {"_GenericRotate", nullptr},
};
