// Loading platform DLLs from the system directory only, never from the package's folder.
#pragma once

#include <windows.h>

// Takes the current and the application directory out of the DLL search where the platform allows.
void RestrictDllSearchPath();

// Loads a DLL of the system directory by name; nullptr when it cannot.
HMODULE LoadSystemLibrary(const char* name);
