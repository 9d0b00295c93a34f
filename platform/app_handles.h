// Process-wide handles: the shell sets them once at start; the wizard and the message loop read them.
#pragma once

#include <windows.h>

extern HINSTANCE appInstance;  // the executable: every resource is loaded from it
extern HWND hostWindow;        // the top-level window around the wizard
extern HWND wizardDialog;      // the wizard dialog: the message loop offers it every message
