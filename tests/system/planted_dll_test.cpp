// A newdev.dll planted beside the exe or in the working directory is never loaded: the installer
// comes from the system directory, and the update still runs.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "camera_inf.h"
#include "check.h"
#include "expected_texts.h"
#include "resource.h"
#include "wine_fixtures.h"
#include "wizard_driver.h"

namespace {

constexpr char MARKER_NAME[] = "planted-newdev-was-loaded.txt";
constexpr char OVERRIDE_KEY[] = "Software\\Wine\\AppDefaults\\Sembrix.exe\\DllOverrides";

constexpr char CAMERA_30FE_INF[] = CAMERA_INF("PID_30FE", "Orvane Camera 30FE");

char sembrixPath[MAX_PATH];
char plantedPath[MAX_PATH];

bool CopyInto(const char* source, const char* folder, const char* name) {
    char target[MAX_PATH];
    std::snprintf(target, sizeof target, "%s\\%s", folder, name);
    return CopyFileA(source, target, FALSE) != FALSE;
}

bool MarkerIn(const char* folder) {
    char marker[MAX_PATH];
    std::snprintf(marker, sizeof marker, "%s\\%s", folder, MARKER_NAME);
    return GetFileAttributesA(marker) != INVALID_FILE_ATTRIBUTES;
}

// Wine prefers its own newdev; this makes it take a native one wherever the search finds it first.
void PreferNativeNewdev(bool prefer) {
    if (!prefer) {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Sembrix.exe");
        return;
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, OVERRIDE_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(key, "newdev", 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
        RegCloseKey(key);
    }
}

struct PlantCase {
    int line;
    const char* title;
    bool exeInPackage;  // the exe started from the package folder itself, as users do
    const char* instance;
};

const PlantCase CASES[] = {
    {__LINE__, "planted beside the exe, started in its folder", true, "11&1"},
    {__LINE__, "planted beside the exe and in another working directory", false, "11&2"},
};

void RunPlantCase(const PlantCase& c) {
    check::currentCase = c.title;
    char package[MAX_PATH];
    char exeFolder[MAX_PATH];
    CHECK_AT(c.line, fixtures::MakeTempFolder("plant-package", package));
    if (c.exeInPackage)
        std::snprintf(exeFolder, sizeof exeFolder, "%s", package);
    else
        CHECK_AT(c.line, fixtures::MakeTempFolder("plant-exe", exeFolder));
    CHECK_AT(c.line, fixtures::WriteInf(package, {"cam30fe.inf", CAMERA_30FE_INF}));
    CHECK_AT(c.line, CopyInto(sembrixPath, exeFolder, "Sembrix.exe"));
    CHECK_AT(c.line, CopyInto(plantedPath, exeFolder, "newdev.dll"));
    CHECK_AT(c.line, CopyInto(plantedPath, package, "newdev.dll"));
    const fixtures::Device camera = {"Vid_07e3&Pid_30fe",     c.instance, "Orvane Camera 30FE", REG_SZ, 0,
                                     "USB\\VID_07E3&PID_30FE"};
    CHECK_AT(c.line, fixtures::AddDevice(camera));

    char exe[MAX_PATH];
    std::snprintf(exe, sizeof exe, "%s\\Sembrix.exe", exeFolder);
    driver::Run run;
    CHECK_AT(c.line, driver::StartSembrix(exe, package, run));
    if (run.host) {
        driver::Press(run, IDC_BTN_OK);
        CHECK_AT(c.line, driver::WaitForHeadline(run, expected::Wide(IDS_UPDATE_DONE), driver::INSTALL_TIMEOUT_MS));
        driver::Press(run, IDC_BTN_OK);
        CHECK_NUMBER_AT(c.line, driver::WaitForExit(run, 10000), 0);
    }
    driver::Finish(run);
    CHECK_AT(c.line, !MarkerIn(exeFolder));
    CHECK_AT(c.line, !MarkerIn(package));
    char driverKey[128];
    fixtures::ReadInstanceValue(camera.keyName, camera.instanceName, "Driver", driverKey, sizeof driverKey);
    CHECK_AT(c.line, driverKey[0] != '\0');

    fixtures::RemoveDevice(camera.keyName);
    fixtures::RemoveFolder(package);
    if (!c.exeInPackage) fixtures::RemoveFolder(exeFolder);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: planted_dll_test SEMBRIX_EXE PLANTED_NEWDEV_DLL\n");
        return 2;
    }
    fixtures::ToWindowsPath(argv[1], sembrixPath);
    fixtures::ToWindowsPath(argv[2], plantedPath);
    PreferNativeNewdev(true);
    for (const PlantCase& c : CASES) RunPlantCase(c);
    PreferNativeNewdev(false);
    return check::Summary();
}
