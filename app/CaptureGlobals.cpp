#include "app/CaptureGlobals.h"

#include "platform/vcl/Forms.h"
#include "richtext/LumSmoothStatusIndicator.h"

std::uint8_t ScrapeInterval = 3;
bool EmailMode = false;
bool StopPressed = false;
int TotalEmails = 0;
TLumSmoothStatusIndicator* EmailBadge = nullptr;

void SetEmailBadgeCaption(const String& caption)
{
    if (EmailBadge)
        EmailBadge->SetCaption(caption);
}

void SetMainFormCaption(const String& caption)
{
    if (!Application)
        return;
    if (TCustomForm* form = Application->GetMainForm())
        form->SetCaption(caption);
}
