#include "tests/richtext/ThemeRegistry_support.h"

#include <cstdlib>

#include "platform/rtl/Registry.h"

TPrivateRegistry::TPrivateRegistry()
{
    if (const char* p = std::getenv("QUARRYTIDE_REGISTRY_DIR")) {
        m_previous = p;
        m_hadPrevious = true;
    }
    setenv("QUARRYTIDE_REGISTRY_DIR", m_dir.path().c_str(), 1);
}

TPrivateRegistry::~TPrivateRegistry()
{
    if (m_hadPrevious)
        setenv("QUARRYTIDE_REGISTRY_DIR", m_previous.c_str(), 1);
    else
        unsetenv("QUARRYTIDE_REGISTRY_DIR");
}

namespace {

void OpenUserKey(TRegistry& reg, const String& key)
{
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(key, true))
        throw ERegistryException(u"cannot open " + key);
}

} // namespace

void TPrivateRegistry::CreateKey(const String& key)
{
    TRegistry reg;
    OpenUserKey(reg, key);
}

void TPrivateRegistry::WriteInteger(const String& key, const String& name, int value)
{
    TRegistry reg;
    OpenUserKey(reg, key);
    reg.WriteInteger(name, value);
}

void TPrivateRegistry::WriteString(const String& key, const String& name, const String& value)
{
    TRegistry reg;
    OpenUserKey(reg, key);
    reg.WriteString(name, value);
}
