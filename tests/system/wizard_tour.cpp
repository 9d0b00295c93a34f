// The demo without a display: walks the wizard's screens on the sample package, saves a screenshot
// of each, and tells what the platform's installer did. With --devices it only adds the cameras.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "expected_texts.h"
#include "resource.h"
#include "wine_fixtures.h"
#include "wizard_driver.h"

namespace {

// Two cameras of the sample package, recorded as Windows records attached USB devices.
const fixtures::Device CAMERAS[] = {
    {"VID_07E3&PID_30FE", "5&2a1b3c&0&1", "Orvane DZ-30", REG_SZ, 0, "USB\\VID_07E3&PID_30FE"},
    {"VID_07E3&PID_4000", "5&2a1b3c&0&2", "Orvane Pocket 40", REG_SZ, 0, "USB\\VID_07E3&PID_4000"},
};

const wchar_t* const SELECT_PROMPT = expected::Wide(IDS_SELECT_PROMPT);
const wchar_t* const UPDATING = expected::Wide(IDS_UPDATING);
const wchar_t* const DONE = expected::Wide(IDS_UPDATE_DONE);
const wchar_t* const FAILED = expected::Wide(IDS_UPDATE_FAILED);

char exePath[MAX_PATH];
char packageFolder[MAX_PATH];
char shotFolder[MAX_PATH];

void Shot(HWND window, const char* name) {
    driver::Pause(400);
    if (driver::SaveScreenshot(window, shotFolder, name)) std::printf("  screen: %s.png\n", name);
}

void ReportInstallations() {
    for (const fixtures::Device& camera : CAMERAS) {
        char driverKey[128];
        char description[128];
        fixtures::ReadInstanceValue(camera.keyName, camera.instanceName, "Driver", driverKey, sizeof driverKey);
        fixtures::ReadInstanceValue(camera.keyName, camera.instanceName, "DeviceDesc", description, sizeof description);
        if (driverKey[0])
            std::printf("  installer: %s (%s) now has driver %s, \"%s\"\n", camera.friendlyName, camera.keyName,
                        driverKey, description);
        else
            std::printf("  installer: %s (%s) untouched\n", camera.friendlyName, camera.keyName);
    }
}

// Intro, selection, updating, success: the first camera in the list gets the package's driver.
bool TourUpdate() {
    driver::Run run;
    if (!driver::StartSembrix(exePath, packageFolder, run)) return false;
    Shot(run.host, "1-intro");
    driver::Press(run, IDC_BTN_OK);
    bool ok = driver::WaitForHeadline(run, SELECT_PROMPT, 5000);
    if (ok) {
        Shot(run.host, "2-select");
        driver::Press(run, IDC_BTN_OK);
        ok = driver::WaitForHeadline(run, UPDATING, 5000);
    }
    if (ok) {
        Shot(run.host, "3-updating");
        ok = driver::WaitForHeadline(run, DONE, driver::INSTALL_TIMEOUT_MS);
    }
    if (ok) {
        Shot(run.host, "4-success");
        driver::Press(run, IDC_BTN_OK);
        std::printf("  exit code %ld\n", driver::WaitForExit(run, 10000));
    }
    driver::Finish(run);
    return ok;
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
    if (argc == 2 && std::strcmp(argv[1], "--devices") == 0) {
        bool ok = true;
        for (const fixtures::Device& camera : CAMERAS) ok = fixtures::AddDevice(camera) && ok;
        std::printf("simulated cameras: Orvane DZ-30 (PID_30FE), Orvane Pocket 40 (PID_4000)\n");
        return ok ? 0 : 1;
    }
    if (argc == 2 && std::strcmp(argv[1], "--report") == 0) {
        ReportInstallations();
        return 0;
    }
    if (argc < 4) {
        std::printf("usage: wizard_tour --devices | --report | SEMBRIX_EXE PACKAGE_FOLDER SCREENSHOT_FOLDER\n");
        return 2;
    }
    fixtures::ToWindowsPath(argv[1], exePath);
    fixtures::ToWindowsPath(argv[2], packageFolder);
    fixtures::ToWindowsPath(argv[3], shotFolder);
    fixtures::MakeFolderChain(shotFolder);
    std::printf("Sembrix on the sample package, %s\n", packageFolder);
    const bool ok = TourUpdate() && TourCancel() && TourFailure();
    ReportInstallations();
    std::printf(ok ? "every screen shown\n" : "the tour stopped early\n");
    return ok ? 0 : 1;
}
