// The demo without a display: walks the wizard's screens on a driver package, saves a screenshot of
// each, and tells what the platform's installer did. With --devices it only adds the cameras. Runs in
// the package's folder; with --own the cameras are made from the package's own INF files.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "expected_texts.h"
#include "model_catalog.h"
#include "resource.h"
#include "wine_fixtures.h"
#include "wizard_driver.h"

namespace {

// Two cameras of the sample package, recorded as Windows records attached USB devices.
const fixtures::Device SAMPLE_CAMERAS[] = {
    {"VID_07E3&PID_30FE", "5&2a1b3c&0&1", "Orvane DZ-30", REG_SZ, 0, "USB\\VID_07E3&PID_30FE"},
    {"VID_07E3&PID_4000", "5&2a1b3c&0&2", "Orvane Pocket 40", REG_SZ, 0, "USB\\VID_07E3&PID_4000"},
};

// A camera made from one row of a maker's package: the texts behind its Device.
struct OwnCamera {
    char keyName[40];
    char instanceName[24];
    char name[FRIENDLY_NAME_SIZE];
    char hardwareId[48];
};

OwnCamera ownCameras[MODEL_TABLE_CAPACITY];
fixtures::Device cameras[MODEL_TABLE_CAPACITY];
int cameraCount = 0;

// The cameras of this run: the sample's two, or one per row that the package in this folder gives.
void ChooseCameras(bool own) {
    if (!own) {
        for (const fixtures::Device& camera : SAMPLE_CAMERAS) cameras[cameraCount++] = camera;
        return;
    }
    LoadModelTable();
    for (const ModelEntry& row : modelTable.rows) {
        if (row.productToken[0] == '\0') break;
        OwnCamera& made = ownCameras[cameraCount];
        std::snprintf(made.keyName, sizeof made.keyName, "VID_07E3&%s", row.productToken);
        std::snprintf(made.instanceName, sizeof made.instanceName, "5&demo&0&%d", cameraCount + 1);
        std::snprintf(made.hardwareId, sizeof made.hardwareId, "USB\\VID_07E3&%s", row.productToken);
        // Named after its INF file, so the maker sees in the list which file each camera came from.
        std::snprintf(made.name, sizeof made.name, "%s", std::strrchr(row.infPath, '\\') + 1);
        cameras[cameraCount++] = {made.keyName, made.instanceName, made.name, REG_SZ, 0, made.hardwareId};
    }
}

const wchar_t* const SELECT_PROMPT = expected::Wide(IDS_SELECT_PROMPT);
const wchar_t* const UPDATING = expected::Wide(IDS_UPDATING);
const wchar_t* const DONE = expected::Wide(IDS_UPDATE_DONE);
const wchar_t* const FAILED = expected::Wide(IDS_UPDATE_FAILED);

char exePath[MAX_PATH];
char packageFolder[MAX_PATH];
char shotFolder[MAX_PATH];

// The first of the texts that the headline shows within the timeout; nullptr if none.
const wchar_t* WaitForOneOf(const driver::Run& run, std::initializer_list<const wchar_t*> texts, DWORD timeoutMs) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50)
        for (const wchar_t* text : texts)
            if (driver::WaitForHeadline(run, text, 0)) return text;
    return nullptr;
}

void Shot(HWND window, const char* name) {
    driver::Pause(400);
    if (driver::SaveScreenshot(window, shotFolder, name)) std::printf("  screen: %s.png\n", name);
}

// Whether the walk saw the success screen.
bool successShown = false;

// Tells what the installer did to each camera, and what Windows would have shown where it did nothing.
void ReportInstallations() {
    bool installed = false;
    for (int i = 0; i < cameraCount; ++i) {
        const fixtures::Device& camera = cameras[i];
        char driverKey[128];
        char description[128];
        fixtures::ReadInstanceValue(camera.keyName, camera.instanceName, "Driver", driverKey, sizeof driverKey);
        fixtures::ReadInstanceValue(camera.keyName, camera.instanceName, "DeviceDesc", description, sizeof description);
        installed = installed || driverKey[0];
        if (driverKey[0])
            std::printf("  installer: %s (%s) now has driver %s, \"%s\"\n", camera.friendlyName, camera.keyName,
                        driverKey, description);
        else
            std::printf("  installer: %s (%s) untouched\n", camera.friendlyName, camera.keyName);
    }
    if (installed || cameraCount == 0) return;
    // Wine's installer answers TRUE even when no device carries the hardware id; Windows' answers FALSE.
    std::printf(
        "  %s:\n  the INF does not list the hardware id the wizard asks the installer for, so there is nothing\n"
        "  to install and Windows shows the failure screen (package_report's errors above say why).\n"
        "  Wine's installer reports success even when it installs nothing: so the screen here said it worked.\n",
        successShown ? "on Windows this update fails"
                     : "if the wizard said it updated a camera, on Windows that update fails");
}

// Intro, then the selection when several cameras match, updating and the result; OK on the first name.
bool TourUpdate() {
    driver::Run run;
    if (!driver::StartSembrix(exePath, packageFolder, run)) return false;
    Shot(run.host, "1-intro");
    driver::Press(run, IDC_BTN_OK);
    const wchar_t* shown = WaitForOneOf(run, {SELECT_PROMPT, UPDATING, FAILED}, 5000);
    if (shown == SELECT_PROMPT) {
        Shot(run.host, "2-select");
        driver::Press(run, IDC_BTN_OK);
        shown = WaitForOneOf(run, {UPDATING}, 5000);
    }
    if (shown == UPDATING) {
        Shot(run.host, "3-updating");
        shown = WaitForOneOf(run, {DONE, FAILED}, driver::INSTALL_TIMEOUT_MS);
    }
    if (shown == DONE || shown == FAILED) {
        successShown = shown == DONE;
        Shot(run.host, successShown ? "4-success" : "4-failure");
        driver::Press(run, IDC_BTN_OK);
        std::printf("  exit code %ld\n", driver::WaitForExit(run, 10000));
    }
    driver::Finish(run);
    return shown != nullptr;
}

// Cancel on the intro: the notice that tells how to start again.
bool TourCancel() {
    driver::Run run;
    if (!driver::StartSembrix(exePath, packageFolder, run)) return false;
    driver::Press(run, IDC_BTN_CANCEL);
    HWND notice = driver::WaitForMessageBox(run, L"Orvane Driver Update", driver::WINDOW_TIMEOUT_MS);
    if (notice) {
        Shot(notice, "5-cancel-notice");
        PostMessageW(GetDlgItem(notice, IDOK), BM_CLICK, 0, 0);
        std::printf("  exit code %ld\n", driver::WaitForExit(run, 10000));
    }
    driver::Finish(run);
    return notice != nullptr;
}

// Started where there is no INF file: nothing to update.
bool TourFailure() {
    char empty[MAX_PATH];
    if (!fixtures::MakeTempFolder("demo-empty", empty)) return false;
    driver::Run run;
    bool ok = driver::StartSembrix(exePath, empty, run);
    if (ok) {
        driver::Press(run, IDC_BTN_OK);
        ok = driver::WaitForHeadline(run, FAILED, 5000);
        if (ok) Shot(run.host, "6-failure");
        driver::Press(run, IDC_BTN_OK);
        driver::WaitForExit(run, 10000);
    }
    driver::Finish(run);
    fixtures::RemoveFolder(empty);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const bool own = argc > 1 && std::strcmp(argv[1], "--own") == 0;
    argv += own;
    argc -= own;
    ChooseCameras(own);
    if (argc == 2 && std::strcmp(argv[1], "--devices") == 0) {
        bool ok = true;
        std::printf("simulated cameras:");
        for (int i = 0; i < cameraCount; ++i) {
            ok = fixtures::AddDevice(cameras[i]) && ok;
            std::printf("%s %s (%s)", i ? "," : "", cameras[i].friendlyName, cameras[i].keyName + 9);
        }
        std::printf(cameraCount ? "\n" : " none\n");
        return ok ? 0 : 1;
    }
    if (argc == 2 && std::strcmp(argv[1], "--report") == 0) {
        ReportInstallations();
        return 0;
    }
    if (argc < 3) {
        std::printf(
            "usage, in the package's folder: wizard_tour [--own] --devices | --report | SEMBRIX_EXE "
            "SCREENSHOT_FOLDER\n");
        return 2;
    }
    fixtures::ToWindowsPath(argv[1], exePath);
    GetCurrentDirectoryA(MAX_PATH, packageFolder);
    fixtures::ToWindowsPath(argv[2], shotFolder);
    fixtures::MakeFolderChain(shotFolder);
    std::printf("Sembrix on the package %s\n", packageFolder);
    const bool ok = TourUpdate() && TourCancel() && TourFailure();
    ReportInstallations();
    std::printf(ok ? "every screen shown\n" : "the tour stopped early\n");
    return ok ? 0 : 1;
}
