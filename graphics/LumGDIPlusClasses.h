#pragma once
// Every wrapper class of the run-time bound GDI+ set.

#include "graphics/LumGDIPlusClassesBase.h"
#include "graphics/LumGDIPlusClassesBrushes.h"
#include "graphics/LumGDIPlusClassesFonts.h"
#include "graphics/LumGDIPlusClassesGraphics.h"
#include "graphics/LumGDIPlusClassesImages.h"
#include "graphics/LumGDIPlusClassesPaths.h"
