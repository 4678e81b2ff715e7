#pragma once
// Libraries loaded at run time by name. The platform's own libraries
// register their exported functions here under the library's file name; a
// lookup by that name gives a module handle whose functions are found by name.

#include <utility>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

using FARPROC = void (*)();

struct TModuleExport {
    const char* Name;
    FARPROC Proc;
};

// Registers (or replaces) the exports of the library `fileName` (compared
// ignoring case). Handles given out earlier for the name stay valid.
void RegisterModule(const String& fileName, std::vector<TModuleExport> exports);
void UnregisterModule(const String& fileName);

// A handle for a registered library, counted per load; nullptr when unknown.
HMODULE LoadLibrary(const String& fileName);
// nullptr for a name the library does not export or a handle not loaded.
FARPROC GetProcAddress(HMODULE module, const char* procName);
// False for a handle not loaded.
BOOL FreeLibrary(HMODULE module);
