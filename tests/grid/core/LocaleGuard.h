#pragma once
// Sets the process format settings for one test and restores them after.

#include "platform/rtl/SysUtils.h"

class LocaleGuard {
public:
    enum Separators {
        CommaDecimal,  // 1.234,5
        DotDecimal,    // 1,234.5
    };

    explicit LocaleGuard(Separators s, const String& shortDateFormat = u"dd/MM/yyyy") : m_saved(FormatSettings)
    {
        FormatSettings.DecimalSeparator = s == CommaDecimal ? u',' : u'.';
        FormatSettings.ThousandSeparator = s == CommaDecimal ? u'.' : u',';
        FormatSettings.DateSeparator = u'/';
        FormatSettings.TimeSeparator = u':';
        FormatSettings.ShortDateFormat = shortDateFormat;
    }
    ~LocaleGuard() { FormatSettings = m_saved; }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

private:
    TFormatSettings m_saved;
};
