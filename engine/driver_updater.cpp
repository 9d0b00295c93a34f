#include "driver_updater.h"

#include <windows.h>

#include <iterator>

#include "model_rules.h"
#include "system_library.h"

namespace {

constexpr DWORD INSTALLFLAG_FORCE = 0x00000001;

using UpdateDriverForPlugAndPlayDevicesAProc = BOOL(WINAPI*)(HWND, LPCSTR, LPCSTR, DWORD, PBOOL);

// Runs the platform's installer; false when it failed or could not be loaded.
bool InstallDriver(const char* hardwareId, const char* infPath) {
    HMODULE newdev = LoadSystemLibrary("newdev.dll");
    if (!newdev) return false;
    bool installed = false;
    auto install = reinterpret_cast<UpdateDriverForPlugAndPlayDevicesAProc>(
        reinterpret_cast<void*>(GetProcAddress(newdev, "UpdateDriverForPlugAndPlayDevicesA")));
    if (install) {
        BOOL rebootRequired = FALSE;
        installed = install(nullptr, hardwareId, infPath, INSTALLFLAG_FORCE, &rebootRequired) != FALSE;
    }
    FreeLibrary(newdev);
    return installed;
}

}  // namespace

ModelEntry* SelectTarget(int matchCount, std::string_view selectedName) {
    const int row = model_rules::ChooseTargetRow(modelTable, matchCount, selectedName);
    return row == model_rules::NO_ROW ? nullptr : &modelTable.rows[row];
}

bool UpdateDriver(const ModelEntry* target) {
    char hardwareId[model_rules::HARDWARE_ID_SIZE];
    return target &&
           model_rules::ComposeText(hardwareId, std::size(hardwareId), model_rules::HARDWARE_ID_PREFIX,
                                    model_rules::TextInField(target->productToken, std::size(target->productToken))) &&
           InstallDriver(hardwareId, target->infPath);
}
