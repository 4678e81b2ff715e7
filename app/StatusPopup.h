#pragma once
// What the long steps (page loading, saving, the e-mail harvest) need of the
// status pop-up: its four texts, and showing and hiding it. The pop-up form
// implements it; code that runs without a screen gets none.

#include <functional>
#include <memory>

#include "platform/rtl/String.h"

class IStatusPopup {
public:
    virtual ~IStatusPopup() = default;
    virtual void SetTitle(const String& text) = 0;    // lblTitle
    virtual void SetMessages(const String& text) = 0; // lblMessages
    virtual void SetURL(const String& text) = 0;      // lbURL
    virtual void SetEmails(const String& text) = 0;   // mmEmails
    virtual void Show() = 0;
    virtual void Hide() = 0;
};

// Makes a fresh pop-up; may answer null (nothing is shown then).
using TStatusPopupFactory = std::function<std::unique_ptr<IStatusPopup>()>;
