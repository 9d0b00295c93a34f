#include "driver_updater.h"

#include <iterator>

#include "app_handles.h"
#include "model_rules.h"
#include "resource.h"
#include "system_library.h"
#include "wizard_screens.h"

namespace {

constexpr DWORD INSTALLFLAG_FORCE = 0x00000001;
// Names are under 100 bytes; the room above that absorbs CB_GETLBTEXTLEN's allowed overestimate.
constexpr int SELECTED_TEXT_SIZE = 256;

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

ModelEntry* SelectTarget(HWND dialog, int matchCount) {
    char selected[SELECTED_TEXT_SIZE] = {};
    if (matchCount >= 2) {
        const LRESULT index = SendDlgItemMessageA(dialog, IDC_CAMERA_LIST, CB_GETCURSEL, 0, 0);
        const LRESULT length = SendDlgItemMessageA(dialog, IDC_CAMERA_LIST, CB_GETLBTEXTLEN, index, 0);
        // CB_GETLBTEXT takes no buffer size: ask for the length first.
        if (index != CB_ERR && length != CB_ERR && length < SELECTED_TEXT_SIZE)
            SendDlgItemMessageA(dialog, IDC_CAMERA_LIST, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(selected));
    }
    const int row =
        model_rules::ChooseTargetRow(modelTable, matchCount, model_rules::TextInField(selected, std::size(selected)));
    return row == model_rules::NO_ROW ? nullptr : &modelTable.rows[row];
}

void UpdateDriver(HWND dialog, const ModelEntry* target) {
    char hardwareId[model_rules::HARDWARE_ID_SIZE];
    const bool installed =
        target &&
        model_rules::ComposeText(hardwareId, std::size(hardwareId), model_rules::HARDWARE_ID_PREFIX,
                                 model_rules::TextInField(target->productToken, std::size(target->productToken))) &&
        InstallDriver(hardwareId, target->infPath);
    SetForegroundWindow(hostWindow);
    ShowResultScreen(dialog, installed ? IDS_UPDATE_DONE : IDS_UPDATE_FAILED);
}
