#include "plugin/catalogue.h"

#include <new>

#include "effects/harmonik.h"
#include "effects/rotate.h"
#include "effects/translate_from_spline.h"

const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"GenericHarmonik", &createEffect<GenericHarmonik>},
    {"GenericTwist", nullptr},
    {"GenericMagnet", nullptr},
    {"GenericElipsoid", nullptr},
    {"_GenericCosine", nullptr},
    {"_GenericTranslate", nullptr},
    {"_GenericTranslateFromSpline", &createEffect<GenericTranslateFromSpline>},
    {"_GenericScale", nullptr},
    {"_GenericRotate", &createEffect<GenericRotate>},
};
