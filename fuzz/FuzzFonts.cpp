#include "fuzz/FuzzSupport.h"
#include "platform/vcl/Graphics.h"

void fuzz::LoadFonts()
{
    TBitmap bitmap;
    bitmap.SetSize(8, 8);
    bitmap.GetCanvas()->GetFont()->SetName(u"Arial");
    bitmap.GetCanvas()->TextWidth(u"Ag");
}
