#include "grid/core/GridUtils.h"

#include "platform/vcl/Forms.h"

namespace VuzEraz {

float ControlDPIScale(TControl* Control)
{
    TCustomForm* form = Control ? GetParentForm(Control) : nullptr;
    if (!form || !form->GetScaled())
        return 1.0f;
    TMonitor* monitor = form->GetMonitor();
    return monitor ? float(monitor->GetPixelsPerInch()) / 96.0f : 1.0f;
}

} // namespace VuzEraz
