#include "plugin/catalogue.h"

#include <new>

#include "effects/translate_from_spline.h"

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", nullptr},
    {"GenericTwist", nullptr},
    {"GenericMagnet", nullptr},
    {"GenericElipsoid", nullptr},
    {"_GenericCosine", nullptr},
    {"_GenericTranslate", nullptr},
    {"_GenericTranslateFromSpline", &createEffect<GenericTranslateFromSpline>},
    {"_GenericScale", nullptr},
    {"_GenericRotate", nullptr},
};
