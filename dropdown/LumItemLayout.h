#pragma once
// Where a caption stands beside its picture, shared by the drop-downs'
// item lists and button panels.

#include "platform/rtl/TypInfo.h"

enum TItemLayout { ilCaptionLeft, ilCaptionRight, ilCaptionTop, ilCaptionBottom };
QT_ENUM(TItemLayout, ilCaptionLeft, ilCaptionRight, ilCaptionTop, ilCaptionBottom)
