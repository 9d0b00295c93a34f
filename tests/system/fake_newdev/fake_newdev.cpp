// Stands in for the platform's newdev.dll in the tests, where Wine's installer never fails nor asks: an
// installer that fails, or with SEMBRIX_TEST_INSTALLER=ask one that first asks the user a question of its
// own, ownerless as the platform's are, and then succeeds.
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI
    UpdateDriverForPlugAndPlayDevicesA(HWND, LPCSTR, LPCSTR, DWORD, PBOOL rebootRequired) {
    if (rebootRequired) *rebootRequired = FALSE;
    char behaviour[8] = {};
    GetEnvironmentVariableA("SEMBRIX_TEST_INSTALLER", behaviour, sizeof behaviour);
    if (lstrcmpA(behaviour, "ask") == 0) {
        MessageBoxA(nullptr, "Install this driver?", "Installer question", MB_YESNO | MB_ICONQUESTION);
        return TRUE;
    }
    SetLastError(ERROR_GEN_FAILURE);
    return FALSE;
}
