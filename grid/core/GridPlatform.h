#pragma once
// What the grid's platform layer is, as the grid asks about it: one place
// for the version numbers and capability answers the grid's start-up and
// its look decisions test. They describe our own platform layer, so they are
// constants, not queries.

namespace GridPlatform {

// The window-system generation the platform layer stands in for.
inline constexpr int WindowsMajorVersion = 10;
inline constexpr int WindowsMinorVersion = 0;

// File version of the common-controls library "COMCTL32.DLL".
inline constexpr int ComCtl32MajorVersion = 6;
inline constexpr int ComCtl32MinorVersion = 10;

// The name-based locale functions of the newer generation exist.
inline constexpr bool HasNewerLocaleFunctions = true;

// The theme library answers "no theme": classic drawing paths are taken.
inline constexpr bool ThemeActive = false;

// Visual-style services (the platform's style manager) are live.
inline constexpr bool StyleServicesLive = true;

// "Above version a.b" as the grid's version tests put it.
constexpr bool WindowsAbove(int Major, int Minor)
{
    return WindowsMajorVersion > Major || (WindowsMajorVersion == Major && WindowsMinorVersion > Minor);
}
constexpr bool ComCtl32Above(int Major, int Minor)
{
    return ComCtl32MajorVersion > Major || (ComCtl32MajorVersion == Major && ComCtl32MinorVersion > Minor);
}

} // namespace GridPlatform
