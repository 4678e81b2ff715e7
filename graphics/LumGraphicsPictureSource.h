#pragma once
// Named pictures the drawing API and its markup draw by name. The picture
// container of the rich-text layer implements it; the picture returned is the
// container's own (not a copy) and stays valid until the next lookup.

#include "platform/rtl/String.h"

class TPicture;

class TLumGraphicsPictureSource {
public:
    virtual ~TLumGraphicsPictureSource() = default;
    virtual TPicture* FindBitmap(const String& AName) = 0;
};
