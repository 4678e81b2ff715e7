#pragma once
// Files embedded into the program at build time under a name and a type
// (cmake: qt_add_resources), looked up with the module resource calls.
// Names and types are either text (compared ignoring case) or small numbers
// passed as MAKEINTRESOURCE(n); the text form "#123" means number 123. The
// module handle is accepted and ignored: every resource belongs to the program.

#include <cstddef>
#include <cstdint>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

QT_DECLARE_EXCEPTION(EResNotFound, Exception);

inline const Char* MAKEINTRESOURCE(int id) { return reinterpret_cast<const Char*>(std::uintptr_t(Word(id))); }
inline bool IS_INTRESOURCE(const Char* p) { return (reinterpret_cast<std::uintptr_t>(p) >> 16) == 0; }

inline const Char* const RT_CURSOR = MAKEINTRESOURCE(1);
inline const Char* const RT_BITMAP = MAKEINTRESOURCE(2);
inline const Char* const RT_ICON = MAKEINTRESOURCE(3);
inline const Char* const RT_RCDATA = MAKEINTRESOURCE(10);

// Called by the code that qt_add_resources generates, before main().
// `name` and `type` are UTF-8 as written in the build file; "RCDATA",
// "BITMAP", "CURSOR" and "ICON" stand for the numbered types and a name made
// of digits for a numbered resource.
void RegisterResource(const char* name, const char* type, const std::uint8_t* data, std::size_t size);

HRSRC FindResource(HMODULE module, const Char* name, const Char* type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
const void* LockResource(HGLOBAL data);
BOOL FreeResource(HGLOBAL data);
