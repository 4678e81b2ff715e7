#pragma once
// The exception classes the system raises and catches. Every failure is an
// Exception with a user-facing Message; what() gives the same text in UTF-8.

#include <exception>
#include <string>

#include "platform/rtl/String.h"

class Exception : public std::exception {
public:
    explicit Exception(String message = {}) : Message(std::move(message)) { }
    ~Exception() override = default;

    const char* what() const noexcept override;
    virtual String ClassName() const { return u"Exception"; }
    const String& GetMessage() const { return Message; }
    void SetMessage(String m) { Message = std::move(m); m_what.clear(); }

    String Message;

private:
    mutable std::string m_what;
};

#define QT_DECLARE_EXCEPTION(Name, Base)                           \
    class Name : public Base {                                     \
    public:                                                        \
        using Base::Base;                                          \
        String ClassName() const override { return u"" #Name; }    \
    }

QT_DECLARE_EXCEPTION(EAbort, Exception);
QT_DECLARE_EXCEPTION(EAssertionFailed, Exception);
QT_DECLARE_EXCEPTION(EConvertError, Exception);
QT_DECLARE_EXCEPTION(EListError, Exception);
QT_DECLARE_EXCEPTION(EStringListError, Exception);
QT_DECLARE_EXCEPTION(EInvalidCast, Exception);
QT_DECLARE_EXCEPTION(EStreamError, Exception);
QT_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
QT_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
QT_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
QT_DECLARE_EXCEPTION(EReadError, EStreamError);
QT_DECLARE_EXCEPTION(EWriteError, EStreamError);
QT_DECLARE_EXCEPTION(EArgumentException, Exception);
QT_DECLARE_EXCEPTION(EArgumentOutOfRangeException, EArgumentException);
QT_DECLARE_EXCEPTION(EInvalidOperation, Exception);
QT_DECLARE_EXCEPTION(EInvalidPointer, Exception);
QT_DECLARE_EXCEPTION(EAbstractError, Exception);
QT_DECLARE_EXCEPTION(ERangeError, Exception);
QT_DECLARE_EXCEPTION(EIntOverflow, Exception);
QT_DECLARE_EXCEPTION(EDivByZero, Exception);
QT_DECLARE_EXCEPTION(EZeroDivide, Exception);
QT_DECLARE_EXCEPTION(EOverflow, Exception);
QT_DECLARE_EXCEPTION(EOutOfMemory, Exception);
QT_DECLARE_EXCEPTION(EVariantError, Exception);
QT_DECLARE_EXCEPTION(EInOutError, Exception);
QT_DECLARE_EXCEPTION(ENotSupportedException, Exception);
QT_DECLARE_EXCEPTION(EComponentError, Exception);
QT_DECLARE_EXCEPTION(EPropertyError, Exception);
QT_DECLARE_EXCEPTION(EClassNotFound, Exception);
QT_DECLARE_EXCEPTION(EThread, Exception);
QT_DECLARE_EXCEPTION(EEncodingError, Exception);

// An operating-system failure with its error number.
class EOSError : public Exception {
public:
    explicit EOSError(String message = {}, int errorCode = 0) : Exception(std::move(message)), ErrorCode(errorCode) { }
    String ClassName() const override { return u"EOSError"; }
    int ErrorCode;
};

// Raises EOSError for the current errno, with the system's text for it.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(int errorCode);
// Silent exception: aborts an operation without a message to the user.
[[noreturn]] void Abort();
