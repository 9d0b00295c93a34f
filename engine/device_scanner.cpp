#include "device_scanner.h"

#include <windows.h>

#include <cstring>
#include <iterator>
#include <string_view>

#include "model_rules.h"
#include "model_table.h"

int matchCount = 0;

namespace {

constexpr char USB_ENUM_KEY[] = "SYSTEM\\CurrentControlSet\\Enum\\USB";
constexpr char FRIENDLY_NAME_VALUE[] = "FriendlyName";
constexpr DWORD KEY_NAME_SIZE = 256;
constexpr std::size_t KEY_PATH_SIZE = 128;
constexpr DWORD NAME_VALUE_SIZE = FRIENDLY_NAME_SIZE;

// Copies the instance key's FriendlyName into name; false when it is missing, not text or too long.
bool QueryFriendlyName(HKEY instanceKey, char (&name)[FRIENDLY_NAME_SIZE]) {
    char value[NAME_VALUE_SIZE] = {};
    DWORD type = REG_SZ;
    DWORD size = NAME_VALUE_SIZE;
    if (RegQueryValueExA(instanceKey, FRIENDLY_NAME_VALUE, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS)
        return false;
    const std::string_view text = model_rules::TextInField(value, std::size(value));
    // An empty name would leave the row looking unmatched; one filling the buffer has no terminator.
    if (type != REG_SZ || text.empty() || text.size() >= std::size(name)) return false;
    return model_rules::ComposeText(name, std::size(name), text, {});
}

// Reads the FriendlyName of the device's first instance into name; false when none was stored.
bool ReadFirstInstanceName(const char* devicePath, char (&name)[FRIENDLY_NAME_SIZE]) {
    HKEY deviceKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, devicePath, 0, KEY_ENUMERATE_SUB_KEYS, &deviceKey) != ERROR_SUCCESS)
        return false;

    bool stored = false;
    char instance[KEY_NAME_SIZE] = {};
    DWORD instanceLength = KEY_NAME_SIZE;
    char instancePath[KEY_PATH_SIZE];
    HKEY instanceKey;
    if (RegEnumKeyExA(deviceKey, 0, instance, &instanceLength, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        model_rules::ComposeText(instancePath, std::size(instancePath), devicePath, "\\", instance) &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, instancePath, 0, KEY_READ, &instanceKey) == ERROR_SUCCESS) {
        stored = QueryFriendlyName(instanceKey, name);
        RegCloseKey(instanceKey);
    }
    RegCloseKey(deviceKey);
    return stored;
}

// Matches one device key against the table; true when it named a row.
bool MatchDeviceKey(const char* keyName) {
    if (!model_rules::HasVendorMarker(keyName)) return false;

    char token[model_rules::DEVICE_TOKEN_SIZE] = {};
    if (!model_rules::CopySecondAmpersandToken(keyName, token, std::size(token))) return false;
    const DWORD tokenLength = static_cast<DWORD>(std::strlen(token));
    CharUpperBuffA(token, tokenLength < model_rules::DEVICE_TOKEN_UPPERCASED
                              ? tokenLength
                              : static_cast<DWORD>(model_rules::DEVICE_TOKEN_UPPERCASED));

    const int row = model_rules::FindRowByToken(modelTable, token);
    if (row == model_rules::NO_ROW) return false;

    char devicePath[KEY_PATH_SIZE];
    if (!model_rules::ComposeText(devicePath, std::size(devicePath), USB_ENUM_KEY, "\\", keyName)) return false;
    return ReadFirstInstanceName(devicePath, modelTable.rows[row].friendlyName);
}

}  // namespace

void ScanAttachedCameras(int* matches) {
    HKEY usbKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, USB_ENUM_KEY, 0, KEY_ENUMERATE_SUB_KEYS, &usbKey) != ERROR_SUCCESS) return;

    char keyName[KEY_NAME_SIZE];
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = KEY_NAME_SIZE;
        if (RegEnumKeyExA(usbKey, index, keyName, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (MatchDeviceKey(keyName)) ++*matches;
    }
    RegCloseKey(usbKey);
}
