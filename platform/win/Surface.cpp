#include "platform/win/Surface.h"

namespace {
IDeviceContextFactory* g_factory = nullptr;
}

void SetDeviceContextFactory(IDeviceContextFactory* factory)
{
    g_factory = factory;
}

IDeviceContextFactory* GetDeviceContextFactory()
{
    return g_factory;
}
