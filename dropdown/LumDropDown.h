#pragma once
// The drop-down editors' library: shared routines and looks.

#include "dropdown/LumButton.h"
#include "dropdown/LumButtonAppearance.h"
#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumDropDownButton.h"
#include "dropdown/LumDropDownForm.h"
#include "dropdown/LumDropDownRoutines.h"
#include "dropdown/LumHeaderFooter.h"
