#pragma once
// Real windows through SDL2 on X11: each visible top-level window is an SDL
// window showing its back buffer; SDL events become our input.

#include <memory>
#include <vector>

#include "platform/win/Backend.h"

// Answers null when no display can be opened.
std::unique_ptr<IWindowBackend> CreateSdlBackend();

// Reads what the display shows inside a top-level window (client pixels as
// 0xAARRGGBB, alpha opaque) from the X server; false when it cannot.
bool ReadDisplayedPixels(HWND top, std::vector<std::uint32_t>& pixels, int& width, int& height);

// What the desktop is told about a top-level window's native window: whether
// its window manager may resize it and within which sizes (0 for no upper
// limit), and whether it is maximised or was asked to be. False when the
// window has no native window.
struct TNativeWindowState {
    bool Resizable { false };
    bool Maximized { false };
    int MinWidth { 0 }, MinHeight { 0 };
    int MaxWidth { 0 }, MaxHeight { 0 };
};
bool ReadNativeWindowState(HWND top, TNativeWindowState& state);

// Picks the back end for the program: SDL when a display is there and
// QT_WINDOW_BACKEND is not "headless", else headless; installs it and the
// message loop hooks. Answers the name of the back end chosen.
const char* InitWindowSystem();
