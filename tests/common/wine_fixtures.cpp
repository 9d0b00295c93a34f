#include "wine_fixtures.h"

#include <cstdio>
#include <cstring>

namespace fixtures {

namespace {

constexpr std::size_t LONG_PATH_SIZE = 600;

// Builds USB_ENUM_PATH\keyName[\instanceName]; false when it does not fit.
bool DevicePath(char (&path)[512], const char* keyName, const char* instanceName) {
    int written = instanceName ? std::snprintf(path, sizeof path, "%s\\%s\\%s", USB_ENUM_PATH, keyName, instanceName)
                               : std::snprintf(path, sizeof path, "%s\\%s", USB_ENUM_PATH, keyName);
    return written > 0 && static_cast<std::size_t>(written) < sizeof path;
}

// Builds \\?\folder\name in UTF-16: the ANSI file calls stop at MAX_PATH, these do not.
bool LongPath(WCHAR (&path)[LONG_PATH_SIZE], const char* folder, const char* name) {
    char narrow[LONG_PATH_SIZE];
    int written = std::snprintf(narrow, sizeof narrow, "\\\\?\\%s\\%s", folder, name);
    if (written <= 0 || static_cast<std::size_t>(written) >= sizeof narrow) return false;
    return MultiByteToWideChar(CP_ACP, 0, narrow, -1, path, LONG_PATH_SIZE) > 0;
}

}  // namespace

void ToWindowsPath(const char* path, char (&out)[MAX_PATH]) {
    std::snprintf(out, sizeof out, "%s%s", path[0] == '/' ? "Z:" : "", path);
    for (char* c = out; *c; ++c)
        if (*c == '/') *c = '\\';
}

bool MakeTempFolder(const char* label, char (&folder)[MAX_PATH]) {
    static unsigned counter = 0;
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) return false;
    int written =
        std::snprintf(folder, sizeof folder, "%ssembrix-%s-%lu-%u", temp, label, GetCurrentProcessId(), ++counter);
    if (written <= 0 || static_cast<std::size_t>(written) >= sizeof folder) return false;
    RemoveFolder(folder);
    return CreateDirectoryA(folder, nullptr) != FALSE;
}

bool MakeFolderChain(const char* path) {
    char partial[MAX_PATH];
    std::size_t length = std::strlen(path);
    if (length >= sizeof partial) return false;
    for (std::size_t i = 3; i <= length; ++i) {
        if (path[i] != '\\' && path[i] != '\0') continue;
        std::memcpy(partial, path, i);
        partial[i] = '\0';
        if (!CreateDirectoryA(partial, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return true;
}

bool WriteFileBytes(const char* folder, const char* fileName, const void* bytes, std::size_t size) {
    WCHAR path[LONG_PATH_SIZE];
    if (!LongPath(path, folder, fileName)) return false;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    BOOL ok = WriteFile(file, bytes, static_cast<DWORD>(size), &done, nullptr);
    CloseHandle(file);
    return ok && done == size;
}

bool WriteInf(const char* folder, const InfFile& inf) {
    return WriteFileBytes(folder, inf.fileName, inf.text, std::strlen(inf.text));
}

void RemoveFolder(const char* folder) {
    WCHAR pattern[LONG_PATH_SIZE];
    if (!LongPath(pattern, folder, "*")) return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            char name[MAX_PATH];
            WCHAR path[LONG_PATH_SIZE];
            if (WideCharToMultiByte(CP_ACP, 0, found.cFileName, -1, name, MAX_PATH, nullptr, nullptr) > 0 &&
                LongPath(path, folder, name))
                DeleteFileW(path);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    WCHAR path[LONG_PATH_SIZE];
    if (LongPath(path, folder, "")) RemoveDirectoryW(path);
}

// The ANSI registry calls convert paths through a MAX_PATH buffer: long key paths need the wide ones.
bool WidePath(const char* path, wchar_t (&wide)[512]) {
    return MultiByteToWideChar(CP_ACP, 0, path, -1, wide, 512) > 0;
}

bool AddDevice(const Device& device) {
    char path[512];
    wchar_t widePath[512];
    if (!DevicePath(path, device.keyName, device.instanceName) || !WidePath(path, widePath)) return false;
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, widePath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = true;
    if (device.friendlyName && device.friendlyNameType == REG_SZ && device.friendlyNameSize == 0) {
        // Stored as the platform stores names, in UTF-16: the test's texts are UTF-8.
        wchar_t name[512];
        const int length = MultiByteToWideChar(CP_UTF8, 0, device.friendlyName, -1, name, 512);
        ok = length > 0 && RegSetValueExW(key, L"FriendlyName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                                          static_cast<DWORD>(length) * sizeof(wchar_t)) == ERROR_SUCCESS;
    } else if (device.friendlyName) {
        DWORD size = device.friendlyNameSize ? device.friendlyNameSize
                                             : static_cast<DWORD>(std::strlen(device.friendlyName) + 1);
        ok = RegSetValueExA(key, "FriendlyName", 0, device.friendlyNameType,
                            reinterpret_cast<const BYTE*>(device.friendlyName), size) == ERROR_SUCCESS;
    }
    if (ok && device.hardwareId) {
        char multi[128] = {};
        std::size_t length = std::strlen(device.hardwareId);
        if (length + 2 > sizeof multi)
            ok = false;
        else {
            std::memcpy(multi, device.hardwareId, length);
            ok = RegSetValueExA(key, "HardwareID", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi),
                                static_cast<DWORD>(length + 2)) == ERROR_SUCCESS &&
                 RegSetValueExA(key, "ClassGUID", 0, REG_SZ, reinterpret_cast<const BYTE*>(IMAGE_CLASS_GUID),
                                sizeof IMAGE_CLASS_GUID) == ERROR_SUCCESS;
        }
    }
    RegCloseKey(key);
    return ok;
}

void RemoveDevice(const char* keyName) {
    char path[512];
    wchar_t widePath[512];
    if (DevicePath(path, keyName, nullptr) && WidePath(path, widePath)) RegDeleteTreeW(HKEY_LOCAL_MACHINE, widePath);
}

void ReadInstanceValue(const char* keyName, const char* instanceName, const char* valueName, char* out, DWORD outSize) {
    out[0] = '\0';
    char path[512];
    if (!DevicePath(path, keyName, instanceName)) return;
    DWORD size = outSize;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, path, valueName, RRF_RT_REG_SZ, nullptr, out, &size) != ERROR_SUCCESS)
        out[0] = '\0';
}

}  // namespace fixtures
