// Stands in for the platform's newdev.dll in the tests: an installer that always fails.
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI
    UpdateDriverForPlugAndPlayDevicesA(HWND, LPCSTR, LPCSTR, DWORD, PBOOL rebootRequired) {
    if (rebootRequired) *rebootRequired = FALSE;
    SetLastError(ERROR_GEN_FAILURE);
    return FALSE;
}
