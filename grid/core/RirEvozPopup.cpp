#include "grid/core/RirEvozPopup.h"

QT_PUBLISHED(TRirEvozPopup)
