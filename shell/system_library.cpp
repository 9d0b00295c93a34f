#include "system_library.h"

#include <iterator>

#include "model_rules.h"

namespace {

// Absent before Windows 8 unless KB2533623 is installed: looked up, never imported.
constexpr DWORD SEARCH_SYSTEM32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);

}  // namespace

void RestrictDllSearchPath() {
    SetDllDirectoryA("");
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name) {
    HMODULE module = LoadLibraryExA(name, nullptr, SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;

    // The flag is unknown here: name the file by its full system-directory path instead.
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    char fullPath[MAX_PATH];
    if (!model_rules::ComposeText(fullPath, std::size(fullPath), std::string_view(path, length), "\\", name))
        return nullptr;
    return LoadLibraryExA(fullPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
