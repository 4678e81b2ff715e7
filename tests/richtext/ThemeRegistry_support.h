#pragma once
// A private registry for one test and short ways to fill it.

#include <string>

#include "platform/rtl/String.h"
#include "tests/support/Fixtures.h"

class TPrivateRegistry {
public:
    TPrivateRegistry();
    ~TPrivateRegistry();
    TPrivateRegistry(const TPrivateRegistry&) = delete;
    TPrivateRegistry& operator=(const TPrivateRegistry&) = delete;

    // Under HKEY_CURRENT_USER; the key is made when missing.
    static void CreateKey(const String& key);
    static void WriteInteger(const String& key, const String& name, int value);
    static void WriteString(const String& key, const String& name, const String& value);

private:
    testsupport::TempDir m_dir;
    std::string m_previous;
    bool m_hadPrevious { false };
};
