// The top-level window that carries the wizard dialog.
#pragma once

#include <windows.h>

constexpr char HOST_CLASS_NAME[] = "Pelmorant";

// Registers the host window class; false when the platform refused it.
bool RegisterHostClass(HINSTANCE instance);

// Creates the host window, with the wizard dialog inside, sized and centred.
HWND CreateHostWindow(HINSTANCE instance, const char* title);
