#include "platform/rtl/Exceptions.h"

#include <cerrno>
#include <cstring>

const char* Exception::what() const noexcept
{
    if (m_what.empty() && !Message.empty()) {
        try {
            m_what = StringToUtf8(Message);
        } catch (...) {
            return "Exception";
        }
    }
    return m_what.empty() ? "" : m_what.c_str();
}

void RaiseLastOSError()
{
    RaiseLastOSError(errno);
}

void RaiseLastOSError(int errorCode)
{
    String text = Utf8ToString(std::strerror(errorCode));
    throw EOSError(u"System Error.  Code: " + Utf8ToString(std::to_string(errorCode)) + u".\r\n" + text, errorCode);
}

void Abort()
{
    throw EAbort(u"Operation aborted");
}
