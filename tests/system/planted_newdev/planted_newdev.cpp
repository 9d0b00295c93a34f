// A hostile newdev.dll as it may lie in a Downloads folder: leaves a marker beside itself when loaded.
#include <windows.h>

namespace {

constexpr char MARKER_NAME[] = "planted-newdev-was-loaded.txt";

// Writes the marker into the folder this DLL was loaded from.
void LeaveMarker(HMODULE self) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    while (length > 0 && path[length - 1] != '\\') --length;
    if (length + sizeof MARKER_NAME > MAX_PATH) return;
    lstrcpyA(path + length, MARKER_NAME);
    HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) LeaveMarker(self);
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI UpdateDriverForPlugAndPlayDevicesA(HWND, LPCSTR, LPCSTR, DWORD,
                                                                                 PBOOL rebootRequired) {
    if (rebootRequired) *rebootRequired = FALSE;
    return FALSE;
}
