// Real INF folders and real Plug and Play records for the tests that run under Wine.
#pragma once

#include <windows.h>

#include <cstddef>

namespace fixtures {

constexpr char USB_ENUM_PATH[] = "SYSTEM\\CurrentControlSet\\Enum\\USB";
constexpr char IMAGE_CLASS_GUID[] = "{6bdd1fc6-810f-11d0-bec7-08002be2092f}";

struct InfFile {
    const char* fileName;
    const char* text;  // written as it stands, bytes included
};

// A device key with one instance key; friendlyName nullptr leaves the value out.
struct Device {
    const char* keyName;
    const char* instanceName;
    const char* friendlyName;
    DWORD friendlyNameType = REG_SZ;
    DWORD friendlyNameSize = 0;        // 0: the text with its terminator
    const char* hardwareId = nullptr;  // REG_MULTI_SZ with one string, plus the image ClassGUID
};

// Turns a Unix path (as CTest passes them) into one on Wine's Z: drive; other paths stay as they are.
void ToWindowsPath(const char* path, char (&out)[MAX_PATH]);

// Makes an empty folder under the temp folder; false when it could not.
bool MakeTempFolder(const char* label, char (&folder)[MAX_PATH]);

// Makes a folder path; false when it could not.
bool MakeFolderChain(const char* path);

// Writes a file with exactly the given bytes.
bool WriteFileBytes(const char* folder, const char* fileName, const void* bytes, std::size_t size);

// Writes a text file into folder.
bool WriteInf(const char* folder, const InfFile& inf);

// Deletes the files of folder and the folder itself (one level).
void RemoveFolder(const char* folder);

// Creates a device key and its instance under the USB list.
bool AddDevice(const Device& device);

// Deletes a device key and everything below it.
void RemoveDevice(const char* keyName);

// Reads a string value of a device instance; empty when absent.
void ReadInstanceValue(const char* keyName, const char* instanceName, const char* valueName, char* out, DWORD outSize);

}  // namespace fixtures
