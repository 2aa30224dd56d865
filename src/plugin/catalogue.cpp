#include "plugin/catalogue.h"

#include <new>

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", nullptr},
    {"GenericTwist", nullptr},
    {"GenericMagnet", nullptr},
    {"GenericElipsoid", nullptr},
    {"_GenericCosine", nullptr},
    {"_GenericTranslate", nullptr},
    {"_GenericTranslateFromSpline", nullptr},
    {"_GenericScale", nullptr},
    {"_GenericRotate", nullptr},
};
