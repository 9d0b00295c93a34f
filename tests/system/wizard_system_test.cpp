// The whole program under Wine: real exe, real registry, real INF files, the platform's real installer.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>

#include "camera_inf.h"
#include "check.h"
#include "expected_texts.h"
#include "resource.h"
#include "wine_fixtures.h"
#include "wizard_driver.h"

using driver::ControlState;
using driver::Run;
using fixtures::Device;
using fixtures::InfFile;

namespace {

char exePath[MAX_PATH];
char shotFolder[MAX_PATH];
char fakeInstallerPath[MAX_PATH];

constexpr DWORD EXIT_TIMEOUT_MS = 10000;
constexpr wchar_t NOTICE_CAPTION[] = L"Orvane Driver Update";
constexpr int MESSAGE_BOX_TEXT_ID = 0xFFFF;

constexpr char INF_30FE[] = CAMERA_INF("PID_30FE", "Orvane Camera 30FE");
constexpr char INF_4000[] = CAMERA_INF("PID_4000", "Orvane Camera 4000");
constexpr char INF_5100[] = CAMERA_INF("PID_5100", "Orvane Camera 5100");

// A camera attached as Windows records it: hardware id and class, so that the installer finds it.
#define CAMERA(KEY, INSTANCE, NAME, PRODUCT) \
    Device { KEY, INSTANCE, NAME, REG_SZ, 0, "USB\\VID_07E3&" PRODUCT }

// The system DPI of this run: 96 records the reference layout, any other is checked against it.
int systemDpi = 96;
// A run under a Western locale (code page 1252): every text must still read as on a Japanese system.
bool westernLocale = false;
// Whether the exe's manifest asks for UTF-8; a copy without it speaks the system's code page.
bool exeSpeaksUtf8 = false;
int Scale(int pixels) { return MulDiv(pixels, systemDpi, 96); }

FILE* layout96;                // each screen's rectangles in run order: written at 96 DPI, read back at any other DPI
long largestFromDpi = 0;       // any control against the 96-DPI layout times DPI/96
long largestFromTemplate = 0;  // template-placed controls against the 96-DPI layout grown as the dialog grew
double growth[2];              // the dialog's width and height over their 96-DPI values

// Records the rectangle at 96 DPI; at another DPI reads the one the 96-DPI run recorded at this point.
bool Exchange96(const RECT& r, RECT& r96) {
    if (systemDpi == 96) return std::fprintf(layout96, "%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom) < 0;
    return std::fscanf(layout96, "%ld %ld %ld %ld", &r96.left, &r96.top, &r96.right, &r96.bottom) == 4;
}

// The largest distance of a rectangle's left, top, width or height from the 96-DPI one's grown by the scales.
long Deviation(const RECT& r, const RECT& r96, double xScale, double yScale) {
    const auto off = [](long actual, long at96, double scale) { return std::lround(std::fabs(actual - at96 * scale)); };
    return std::max({off(r.left, r96.left, xScale), off(r.top, r96.top, yScale),
                     off(r.right - r.left, r96.right - r96.left, xScale),
                     off(r.bottom - r.top, r96.bottom - r96.top, yScale)});
}

// Every visible control lies inside the dialog, and at another DPI matches the 96-DPI run's rectangle. The
// platform turns dialog units into pixels through the font's rounded metrics, so the dialog grows by about,
// not exactly, DPI/96: a control the template places must be its 96-DPI rectangle grown as the dialog grew,
// within 2 pixels. The control the program moves (movedId) is checked by its formula in the callers.
void CheckLayout(int line, const Run& run, int movedId) {
    RECT dialog;
    RECT dialog96 = {};
    GetClientRect(run.dialog, &dialog);
    const bool compare = layout96 && Exchange96(dialog, dialog96);
    for (int id : {IDC_HEADLINE, IDC_BTN_OK, IDC_BTN_CANCEL, IDC_GUIDE, IDC_CAMERA_LIST}) {
        const ControlState state = driver::ReadControl(run, id);
        const RECT& r = state.rect;
        RECT r96;
        if (!state.visible) continue;
        CHECK_AT(line, r.left >= 0 && r.top >= 0 && r.right <= dialog.right && r.bottom <= dialog.bottom);
        if (!layout96 || !Exchange96(r, r96) || !compare) continue;
        largestFromDpi = std::max(largestFromDpi, Deviation(r, r96, systemDpi / 96.0, systemDpi / 96.0));
        if (id == movedId) continue;
        growth[0] = static_cast<double>(dialog.right) / dialog96.right;
        growth[1] = static_cast<double>(dialog.bottom) / dialog96.bottom;
        const long deviation = Deviation(r, r96, growth[0], growth[1]);
        largestFromTemplate = std::max(largestFromTemplate, deviation);
        CHECK_AT(line, deviation <= 2);
    }
}

// The headline's box is at least as large as its text in the font the dialog draws it with.
void CheckHoldsText(int line, const ControlState& headline, UINT textId) {
    const SIZE text = driver::MeasureDialogFont(exePath, expected::Wide(textId));
    CHECK_AT(line, headline.rect.right - headline.rect.left >= text.cx);
    CHECK_AT(line, headline.rect.bottom - headline.rect.top >= text.cy);
}

int DialogWidth(const Run& run) {
    RECT rect;
    GetWindowRect(run.dialog, &rect);
    return rect.right - rect.left;
}

void CheckRect(int line, const RECT& actual, int x, int y, int width, int height) {
    CHECK_NUMBER_AT(line, actual.left, x);
    CHECK_NUMBER_AT(line, actual.top, y);
    if (width >= 0) CHECK_NUMBER_AT(line, actual.right - actual.left, width);
    if (height >= 0) CHECK_NUMBER_AT(line, actual.bottom - actual.top, height);
}

void CheckTemplateRect(int line, const ControlState& state, int x, int y, int width, int height) {
    const RECT pixels = driver::DialogUnitsToPixels(exePath, x, y, width, height);
    CheckRect(line, state.rect, pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top);
}

void CheckText(int line, const ControlState& state, const wchar_t* text) {
    const bool same = std::wcscmp(state.text, text) == 0;
    CHECK_AT(line, same);
    if (!same)
        std::printf("    text differs: got %d characters, want %d\n", static_cast<int>(std::wcslen(state.text)),
                    static_cast<int>(std::wcslen(text)));
}

void CheckHidden(int line, const ControlState& state) {
    CHECK_AT(line, !state.visible);
    CHECK_AT(line, !state.enabled);
}

void CheckOkIsDefault(int line, const ControlState& ok) {
    CHECK_AT(line, ok.visible);
    CHECK_AT(line, ok.enabled);
    CHECK_AT(line, ok.isDefault);
    CHECK_AT(line, ok.focused);
}

void CheckIntroScreen(int line, const Run& run) {
    const ControlState headline = driver::ReadControl(run, IDC_HEADLINE);
    CheckText(line, headline, expected::Wide(IDS_INTRO_HEADLINE));
    CHECK_AT(line, headline.visible);
    CheckTemplateRect(line, headline, 37, 17, 165, 17);
    CheckHoldsText(line, headline, IDS_INTRO_HEADLINE);
    const ControlState guide = driver::ReadControl(run, IDC_GUIDE);
    CheckText(line, guide, expected::Wide(IDS_INTRO_GUIDE));
    CHECK_AT(line, guide.visible);
    CheckTemplateRect(line, guide, 38, 42, 161, 67);
    CheckHidden(line, driver::ReadControl(run, IDC_CAMERA_LIST));
    const ControlState ok = driver::ReadControl(run, IDC_BTN_OK);
    CheckText(line, ok, L"OK");
    CheckOkIsDefault(line, ok);
    CheckTemplateRect(line, ok, 78, 112, 52, 16);
    const ControlState cancel = driver::ReadControl(run, IDC_BTN_CANCEL);
    CheckText(line, cancel, expected::Wide(IDS_CANCEL));
    CHECK_AT(line, cancel.visible && cancel.enabled && !cancel.isDefault);
    CheckTemplateRect(line, cancel, 137, 112, 52, 16);
    CheckLayout(line, run, 0);
}

void CheckSelectScreen(int line, const Run& run, const wchar_t* items) {
    const ControlState headline = driver::ReadControl(run, IDC_HEADLINE);
    CheckText(line, headline, expected::Wide(IDS_SELECT_PROMPT));
    CheckTemplateRect(line, headline, 37, 17, 165, 17);
    CheckHoldsText(line, headline, IDS_SELECT_PROMPT);
    CheckHidden(line, driver::ReadControl(run, IDC_GUIDE));
    const ControlState list = driver::ReadControl(run, IDC_CAMERA_LIST);
    CHECK_AT(line, list.visible && list.enabled);
    // The closed drop-down list shows only its edit part: its height is the platform's.
    CheckRect(line, list.rect, (DialogWidth(run) - Scale(250)) / 2, Scale(80), Scale(250), -1);
    wchar_t listed[1024];
    driver::ReadListItems(run, listed, 1024);
    const bool sameItems = std::wcscmp(listed, items) == 0;
    CHECK_AT(line, sameItems);
    if (!sameItems) std::printf("    list items differ\n");
    CHECK_NUMBER_AT(line, driver::ReadListSelection(run), 0);
    CheckOkIsDefault(line, driver::ReadControl(run, IDC_BTN_OK));
    const ControlState cancel = driver::ReadControl(run, IDC_BTN_CANCEL);
    CHECK_AT(line, cancel.visible && cancel.enabled);
    CheckLayout(line, run, IDC_CAMERA_LIST);
}

// The headline centred at y 80, shifted by offsetX, boxed 10 pixels larger than the wider of the default
// font's extent (its width scaled, as that font keeps its 96-DPI widths) and the dialog font's: the latter
// where the default font lacks the Japanese glyphs.
void CheckCentredHeadline(int line, const Run& run, UINT textId, int offsetX) {
    const ControlState headline = driver::ReadControl(run, IDC_HEADLINE);
    CheckText(line, headline, expected::Wide(textId));
    CHECK_AT(line, headline.visible);
    const SIZE byDefault = driver::MeasureDefaultFont(run.dialog, expected::Wide(textId));
    const SIZE byDialog = driver::MeasureDialogFont(exePath, expected::Wide(textId));
    const int width = std::max(Scale(byDefault.cx), static_cast<int>(byDialog.cx));
    const int height = std::max(byDefault.cy, byDialog.cy);
    CheckRect(line, headline.rect, (DialogWidth(run) - width) / 2 + Scale(offsetX), Scale(80), width + Scale(10),
              height + Scale(10));
    CheckHoldsText(line, headline, textId);
}

void CheckUpdatingScreen(int line, const Run& run) {
    CheckCentredHeadline(line, run, IDS_UPDATING, 0);
    for (int id : {IDC_GUIDE, IDC_CAMERA_LIST, IDC_BTN_OK, IDC_BTN_CANCEL})
        CheckHidden(line, driver::ReadControl(run, id));
    CheckLayout(line, run, IDC_HEADLINE);
}

void CheckResultScreen(int line, const Run& run, UINT textId) {
    CheckCentredHeadline(line, run, textId, 30);
    CheckHidden(line, driver::ReadControl(run, IDC_GUIDE));
    CheckHidden(line, driver::ReadControl(run, IDC_CAMERA_LIST));
    CheckOkIsDefault(line, driver::ReadControl(run, IDC_BTN_OK));
    CheckHidden(line, driver::ReadControl(run, IDC_BTN_CANCEL));
    CheckLayout(line, run, IDC_HEADLINE);
}

// Saves name.bmp, or beside it name-DPI.bmp when the run is not at 96 DPI, name-en.bmp under a Western locale.
void Screenshot(HWND window, const char* name) {
    if (!name) return;
    char file[64];
    if (westernLocale)
        std::snprintf(file, sizeof file, "%s-en", name);
    else
        std::snprintf(file, sizeof file, systemDpi == 96 ? "%s" : "%s-%d", name, systemDpi);
    if (!driver::SaveScreenshot(window, shotFolder, file)) std::printf("    no screenshot %s\n", file);
}

// The driver the installer recorded for a device instance; "" when none.
bool Installed(const Device& device, const char* description) {
    char value[256];
    fixtures::ReadInstanceValue(device.keyName, device.instanceName, "Driver", value, sizeof value);
    if (value[0] == '\0') return false;
    fixtures::ReadInstanceValue(device.keyName, device.instanceName, "Class", value, sizeof value);
    if (std::strcmp(value, "Image") != 0) return false;
    fixtures::ReadInstanceValue(device.keyName, device.instanceName, "DeviceDesc", value, sizeof value);
    return std::strcmp(value, description) == 0;
}

bool NothingInstalled(const Device (&devices)[3]) {
    for (const Device& device : devices) {
        if (!device.keyName) continue;
        char value[256];
        fixtures::ReadInstanceValue(device.keyName, device.instanceName, "Driver", value, sizeof value);
        if (value[0] != '\0') return false;
    }
    return true;
}

// Swaps the platform's newdev.dll for the test's stand-in (it fails, or asks first), and back.
struct FakeInstaller {
    char systemCopy[MAX_PATH];
    char saved[MAX_PATH];
    bool active;
};

void InstallFakeInstaller(FakeInstaller& swap) {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    std::snprintf(swap.systemCopy, sizeof swap.systemCopy, "%s\\newdev.dll", system);
    std::snprintf(swap.saved, sizeof swap.saved, "%s\\newdev.dll.saved", system);
    swap.active = CopyFileA(swap.systemCopy, swap.saved, FALSE) && CopyFileA(fakeInstallerPath, swap.systemCopy, FALSE);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Sembrix.exe\\DllOverrides", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "newdev", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
        RegCloseKey(key);
    }
    CHECK(swap.active);
}

void RemoveFakeInstaller(FakeInstaller& swap) {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Sembrix.exe");
    if (swap.active) CopyFileA(swap.saved, swap.systemCopy, FALSE);
    DeleteFileA(swap.saved);
}

struct Package {
    char folder[MAX_PATH];
    const InfFile* infs;
    const Device* devices;
};

bool PreparePackage(int line, Package& package, const InfFile (&infs)[3], const Device (&devices)[3]) {
    package.infs = infs;
    package.devices = devices;
    bool ok = fixtures::MakeTempFolder("system", package.folder);
    for (const InfFile& inf : infs)
        if (inf.fileName) ok = fixtures::WriteInf(package.folder, inf) && ok;
    for (const Device& device : devices)
        if (device.keyName) ok = fixtures::AddDevice(device) && ok;
    CHECK_AT(line, ok);
    return ok;
}

void RemovePackage(Package& package) {
    for (int i = 0; i < 3; ++i)
        if (package.devices[i].keyName) fixtures::RemoveDevice(package.devices[i].keyName);
    fixtures::RemoveFolder(package.folder);
}

// Closes the host window and expects the program to end with 0.
void CloseHostToExit(int line, Run& run) {
    PostMessageW(run.host, WM_CLOSE, 0, 0);
    CHECK_NUMBER_AT(line, driver::WaitForExit(run, EXIT_TIMEOUT_MS), 0);
}

// Presses OK on a result screen and expects the program to end with 0.
void PressOkToExit(int line, Run& run) {
    driver::Press(run, IDC_BTN_OK);
    CHECK_NUMBER_AT(line, driver::WaitForExit(run, EXIT_TIMEOUT_MS), 0);
}

// Cases that end on the failure screen.
struct FailureCase {
    int line;
    const char* title;
    InfFile infs[3];
    Device devices[3];
    bool failingInstaller;
    const char* introShot;
    const char* failureShot;
};

const FailureCase FAILURE_CASES[] = {
    {__LINE__,
     "no INF file",
     {},
     {CAMERA("Vid_07e3&Pid_30fe", "7&1", "Orvane Camera 30FE", "PID_30FE")},
     false,
     "intro",
     "failure"},
    {__LINE__, "no camera attached", {{"cam30fe.inf", INF_30FE}}, {}, false, nullptr, nullptr},
    {__LINE__,
     "camera of a model the package lacks",
     {{"cam30fe.inf", INF_30FE}},
     {CAMERA("Vid_07e3&Pid_4000", "7&2", "Orvane Camera 4000", "PID_4000")},
     false,
     nullptr,
     nullptr},
    {__LINE__,
     "the installer fails",
     {{"cam30fe.inf", INF_30FE}},
     {CAMERA("Vid_07e3&Pid_30fe", "7&3", "Orvane Camera 30FE", "PID_30FE")},
     true,
     nullptr,
     "failure-installer"},
};

void RunFailureCase(const FailureCase& c) {
    check::currentCase = c.title;
    Package package;
    FakeInstaller swap = {};
    if (!PreparePackage(c.line, package, c.infs, c.devices)) return;
    if (c.failingInstaller) InstallFakeInstaller(swap);
    Run run;
    CHECK_AT(c.line, driver::StartSembrix(exePath, package.folder, run));
    if (run.host) {
        CheckIntroScreen(c.line, run);
        Screenshot(run.host, c.introShot);
        driver::Press(run, IDC_BTN_OK);
        if (c.failingInstaller) CHECK_AT(c.line, driver::WaitForHeadline(run, expected::Wide(IDS_UPDATING), 5000));
        CHECK_AT(c.line, driver::WaitForHeadline(run, expected::Wide(IDS_UPDATE_FAILED), driver::INSTALL_TIMEOUT_MS));
        driver::Pause(300);
        CheckResultScreen(c.line, run, IDS_UPDATE_FAILED);
        Screenshot(run.host, c.failureShot);
        PressOkToExit(c.line, run);
    }
    driver::Finish(run);
    if (c.failingInstaller) RemoveFakeInstaller(swap);
    CHECK_AT(c.line, NothingInstalled(c.devices));
    RemovePackage(package);
}

// Cases that update a camera: with one match at once, with several after the choice.
struct UpdateCase {
    int line;
    const char* title;
    InfFile infs[3];
    Device devices[3];
    const wchar_t* listItems;  // nullptr: one match, no selection screen
    int choose;                // list item the user picks
    int updatedDevice;         // index into devices
    const char* description;   // DeviceDesc the INF gives
    const char* shotPrefix;
    const wchar_t* folderName = nullptr;  // the package's folder renamed so; nullptr keeps the name made
};

constexpr char NAME_48_JAPANESE[] =
    "オルヴァン製デジタルカメラ高解像度モデル第三十型番号付きの長い名前を持つ試験用機種です（最新版）";

const UpdateCase UPDATE_CASES[] = {
    {__LINE__,
     "one camera",
     {{"cam30fe.inf", INF_30FE}, {"cam4000.inf", INF_4000}},
     {CAMERA("Vid_07e3&Pid_30fe", "8&1", "Orvane Camera 30FE", "PID_30FE")},
     nullptr,
     0,
     0,
     "Orvane Camera 30FE",
     "one"},
    {__LINE__,
     "one camera, later Windows spelling",
     {{"cam4000.inf", INF_4000}},
     {CAMERA("VID_07E3&PID_4000", "8&2", "Orvane Camera 4000", "PID_4000")},
     nullptr,
     0,
     0,
     "Orvane Camera 4000",
     nullptr},
    {__LINE__,
     "three cameras, the second in sorted order chosen",
     {{"cam30fe.inf", INF_30FE}, {"cam4000.inf", INF_4000}, {"cam5100.inf", INF_5100}},
     {CAMERA("Vid_07e3&Pid_5100", "8&3", "Zoom 5100", "PID_5100"),
      CAMERA("Vid_07e3&Pid_30fe", "8&4", "Mini 30FE", "PID_30FE"),
      CAMERA("Vid_07e3&Pid_4000", "8&5", "Pocket 4000", "PID_4000")},
     L"Mini 30FE|Pocket 4000|Zoom 5100",
     1,
     2,
     "Orvane Camera 4000",
     "several"},
    {__LINE__,
     "two cameras, the first item kept",
     {{"cam30fe.inf", INF_30FE}, {"cam4000.inf", INF_4000}},
     {CAMERA("Vid_07e3&Pid_30fe", "8&6", "ビデオカメラ", "PID_30FE"),
      CAMERA("Vid_07e3&Pid_4000", "8&7", "Compact", "PID_4000")},
     L"Compact|ビデオカメラ",
     0,
     1,
     "Orvane Camera 4000",
     nullptr},
    {__LINE__,
     "two cameras, a Japanese name of 48 characters picked",
     {{"cam30fe.inf", INF_30FE}, {"cam4000.inf", INF_4000}},
     {CAMERA("Vid_07e3&Pid_30fe", "8&8", NAME_48_JAPANESE, "PID_30FE"),
      CAMERA("Vid_07e3&Pid_4000", "8&9", "Compact", "PID_4000")},
     L"Compact|オルヴァン製デジタルカメラ高解像度モデル第三十型番号付きの長い名前を持つ試験用機種です（最新版）",
     1,
     0,
     "Orvane Camera 30FE",
     nullptr},
    {__LINE__,
     "one camera, package folder named outside code page 932",
     {{"cam30fe.inf", INF_30FE}},
     {CAMERA("Vid_07e3&Pid_30fe", "8&10", "Orvane Camera 30FE", "PID_30FE")},
     nullptr,
     0,
     0,
     "Orvane Camera 30FE",
     nullptr,
     L"Zoë-한국-Orvane"},
};

// Renames the package's folder to a name given in UTF-16, which the test's code page may not spell.
bool RenameFolder(const char* folder, const wchar_t* name, wchar_t (&renamed)[MAX_PATH]) {
    wchar_t original[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, folder, -1, original, MAX_PATH) == 0) return false;
    std::swprintf(renamed, MAX_PATH, L"%ls", original);
    wchar_t* leaf = std::wcsrchr(renamed, L'\\');
    if (!leaf) return false;
    std::swprintf(leaf + 1, static_cast<std::size_t>(MAX_PATH - (leaf + 1 - renamed)), L"%ls", name);
    return MoveFileW(original, renamed) != FALSE;
}

void ShotName(char (&name)[64], const char* prefix, const char* screen) {
    std::snprintf(name, sizeof name, "%s-%s", prefix, screen);
}

void RunUpdateCase(const UpdateCase& c) {
    // Only a UTF-8 exe can open a folder that its system code page cannot spell.
    if (c.folderName && !exeSpeaksUtf8) return;
    check::currentCase = c.title;
    Package package;
    if (!PreparePackage(c.line, package, c.infs, c.devices)) return;
    char name[64] = {};
    wchar_t renamed[MAX_PATH] = {};
    if (c.folderName) CHECK_AT(c.line, RenameFolder(package.folder, c.folderName, renamed));
    Run run;
    if (c.folderName)
        CHECK_AT(c.line, driver::StartSembrix(exePath, renamed, run));
    else
        CHECK_AT(c.line, driver::StartSembrix(exePath, package.folder, run));
    if (run.host) {
        driver::Press(run, IDC_BTN_OK);
        if (c.listItems) {
            CHECK_AT(c.line, driver::WaitForHeadline(run, expected::Wide(IDS_SELECT_PROMPT), 5000));
            driver::Pause(300);
            CheckSelectScreen(c.line, run, c.listItems);
            if (c.shotPrefix) ShotName(name, c.shotPrefix, "select");
            Screenshot(run.host, c.shotPrefix ? name : nullptr);
            driver::SelectListItem(run, c.choose);
            driver::Press(run, IDC_BTN_OK);
        }
        // The updating screen lasts one second: read it as soon as its last control is hidden.
        CHECK_AT(c.line, driver::WaitForHeadline(run, expected::Wide(IDS_UPDATING), 5000));
        driver::WaitForDisabled(run, IDC_BTN_CANCEL, 500);
        CheckUpdatingScreen(c.line, run);
        driver::Pause(150);
        if (c.shotPrefix) ShotName(name, c.shotPrefix, "updating");
        Screenshot(run.host, c.shotPrefix ? name : nullptr);
        CHECK_AT(c.line, driver::WaitForHeadline(run, expected::Wide(IDS_UPDATE_DONE), driver::INSTALL_TIMEOUT_MS));
        driver::Pause(300);
        CheckResultScreen(c.line, run, IDS_UPDATE_DONE);
        if (c.shotPrefix) ShotName(name, c.shotPrefix, "success");
        Screenshot(run.host, c.shotPrefix ? name : nullptr);
        PressOkToExit(c.line, run);
    }
    driver::Finish(run);
    for (int i = 0; i < 3; ++i) {
        if (!c.devices[i].keyName) continue;
        const bool installed = Installed(c.devices[i], c.description);
        CHECK_AT(c.line, installed == (i == c.updatedDevice));
        if (installed != (i == c.updatedDevice)) std::printf("    device %d: installed %d\n", i, installed);
    }
    if (c.folderName) {
        wchar_t original[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, package.folder, -1, original, MAX_PATH);
        MoveFileW(renamed, original);
    }
    RemovePackage(package);
}

// Cancel shows the notice, hides the host, installs nothing and ends with 0.
struct CancelCase {
    int line;
    const char* title;
    InfFile infs[3];
    Device devices[3];
    bool onSelection;
    const char* shot;
};

const CancelCase CANCEL_CASES[] = {
    {__LINE__,
     "cancel on the intro screen",
     {{"cam30fe.inf", INF_30FE}},
     {CAMERA("Vid_07e3&Pid_30fe", "9&1", "Orvane Camera 30FE", "PID_30FE")},
     false,
     "cancel-notice"},
    {__LINE__,
     "cancel on the selection screen",
     {{"cam30fe.inf", INF_30FE}, {"cam4000.inf", INF_4000}},
     {CAMERA("Vid_07e3&Pid_30fe", "9&2", "Mini", "PID_30FE"), CAMERA("Vid_07e3&Pid_4000", "9&3", "Pocket", "PID_4000")},
     true,
     nullptr},
};

void RunCancelCase(const CancelCase& c) {
    check::currentCase = c.title;
    Package package;
    if (!PreparePackage(c.line, package, c.infs, c.devices)) return;
    Run run;
    CHECK_AT(c.line, driver::StartSembrix(exePath, package.folder, run));
    if (run.host) {
        if (c.onSelection) {
            driver::Press(run, IDC_BTN_OK);
            CHECK_AT(c.line, driver::WaitForHeadline(run, expected::Wide(IDS_SELECT_PROMPT), 5000));
        }
        driver::Press(run, IDC_BTN_CANCEL);
        HWND notice = driver::WaitForMessageBox(run, NOTICE_CAPTION, driver::WINDOW_TIMEOUT_MS);
        CHECK_AT(c.line, notice != nullptr);
        if (notice) {
            driver::Pause(300);
            wchar_t text[512] = {};
            GetWindowTextW(GetDlgItem(notice, MESSAGE_BOX_TEXT_ID), text, 512);
            CHECK_AT(c.line, std::wcscmp(text, expected::Wide(IDS_CANCEL_NOTICE)) == 0);
            CHECK_AT(c.line, !IsWindowVisible(run.host));
            Screenshot(notice, c.shot);
            PostMessageW(GetDlgItem(notice, IDOK), BM_CLICK, 0, 0);
            CHECK_NUMBER_AT(c.line, driver::WaitForExit(run, EXIT_TIMEOUT_MS), 0);
        }
    }
    driver::Finish(run);
    CHECK_AT(c.line, NothingInstalled(c.devices));
    RemovePackage(package);
}

// Escape does nothing; closing the host ends the run with 0 and no notice, on either screen.
void TestEscapeThenClose(bool onSelection) {
    check::currentCase =
        onSelection ? "escape, then close, on the selection screen" : "escape, then close, on the intro";
    const InfFile infs[3] = {{"cam30fe.inf", INF_30FE}, {"cam4000.inf", INF_4000}};
    const Device devices[3] = {CAMERA("Vid_07e3&Pid_30fe", "10&1", "Mini", "PID_30FE"),
                               CAMERA("Vid_07e3&Pid_4000", "10&2", "Pocket", "PID_4000")};
    Package package;
    if (!PreparePackage(__LINE__, package, infs, devices)) return;
    Run run;
    CHECK(driver::StartSembrix(exePath, package.folder, run));
    if (run.host) {
        const UINT headline = onSelection ? IDS_SELECT_PROMPT : IDS_INTRO_HEADLINE;
        if (onSelection) {
            driver::Press(run, IDC_BTN_OK);
            CHECK(driver::WaitForHeadline(run, expected::Wide(headline), 5000));
        }
        driver::PressKey(run, VK_ESCAPE);
        driver::Pause(700);
        CHECK(driver::WaitForHeadline(run, expected::Wide(headline), 0));
        CHECK(driver::WaitForMessageBox(run, NOTICE_CAPTION, 0) == nullptr);
        CHECK(IsWindowVisible(run.host));
        CHECK_NUMBER(driver::WaitForExit(run, 0), -1);
        CloseHostToExit(__LINE__, run);
    }
    driver::Finish(run);
    CHECK(NothingInstalled(devices));
    RemovePackage(package);
}

// Ways a user leaves the wizard and comes back to it.
enum class Away { Stay, SecondStart, TaskBar, OtherWindow };

// The keyboard reaches the wizard's control again after the user comes back: Enter moves on, or an
// arrow key moves the list's selection.
struct ReturnCase {
    int line;
    const char* title;
    int okPresses;  // 0 stays on the intro, 1 goes to the selection, 2 to the result
    int tabs;       // Tab presses before leaving: two move from OK to the list
    Away away;
    int focusId;        // the control that must have the keyboard on return
    WPARAM key;         // pressed on return
    UINT nextHeadline;  // after the key; 0: the program ends
};

const ReturnCase RETURN_CASES[] = {
    {__LINE__, "intro, minimised, second start", 0, 0, Away::SecondStart, IDC_BTN_OK, VK_RETURN, IDS_SELECT_PROMPT},
    {__LINE__, "intro, minimised, task bar", 0, 0, Away::TaskBar, IDC_BTN_OK, VK_RETURN, IDS_SELECT_PROMPT},
    {__LINE__, "selection, minimised, task bar", 1, 0, Away::TaskBar, IDC_BTN_OK, VK_RETURN, IDS_UPDATING},
    {__LINE__, "selection, list focused, other window", 1, 2, Away::OtherWindow, IDC_CAMERA_LIST, VK_DOWN,
     IDS_SELECT_PROMPT},
    {__LINE__, "result, other window", 2, 0, Away::OtherWindow, IDC_BTN_OK, VK_RETURN, 0},
    {__LINE__, "selection, Enter on the list", 1, 2, Away::Stay, IDC_CAMERA_LIST, VK_RETURN, IDS_UPDATING},
};

// Minimises and restores the host (by a second start or as the task bar does), or puts another window
// in front and then the host again.
void LeaveAndComeBack(int line, const Run& run, Away away, const char* folder) {
    if (away == Away::Stay) return;
    HWND other = nullptr;
    if (away == Away::OtherWindow) {
        other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, nullptr, nullptr);
        SetForegroundWindow(other);
        driver::Pause(300);
        CHECK_AT(line, GetForegroundWindow() == other);
        SetForegroundWindow(run.host);
    } else {
        PostMessageW(run.host, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        driver::Pause(300);
        CHECK_AT(line, IsIconic(run.host));
        if (away == Away::SecondStart)
            CHECK_NUMBER_AT(line, driver::RunToExit(exePath, folder, EXIT_TIMEOUT_MS), 0);
        else
            PostMessageW(run.host, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
    driver::Pause(300);
    CHECK_AT(line, !IsIconic(run.host));
    CHECK_AT(line, GetForegroundWindow() == run.host);
    if (other) DestroyWindow(other);
}

// The second click of a double-click on OK is no second press: the screen that the first click brought
// stays up, and nothing is installed.
struct DoubleClickCase {
    int line;
    const char* title;
    Device devices[3];
    UINT headline;
};

const DoubleClickCase DOUBLE_CLICK_CASES[] = {
    {__LINE__,
     "double-click on OK, two cameras",
     {CAMERA("Vid_07e3&Pid_30fe", "15&1", "Mini", "PID_30FE"),
      CAMERA("Vid_07e3&Pid_4000", "15&2", "Pocket", "PID_4000")},
     IDS_SELECT_PROMPT},
    {__LINE__, "double-click on OK, no camera", {}, IDS_UPDATE_FAILED},
};

void RunDoubleClickCase(const DoubleClickCase& c) {
    check::currentCase = c.title;
    const InfFile infs[3] = {{"cam30fe.inf", INF_30FE}, {"cam4000.inf", INF_4000}};
    Package package;
    if (!PreparePackage(c.line, package, infs, c.devices)) return;
    Run run;
    CHECK_AT(c.line, driver::StartSembrix(exePath, package.folder, run));
    if (run.host) {
        driver::ClickAt(driver::ControlCentre(run, IDC_BTN_OK), 2, 120);
        // A second press would have started the update, which takes a second, or ended the program.
        driver::Pause(1500);
        CHECK_AT(c.line, driver::WaitForHeadline(run, expected::Wide(c.headline), 0));
        CHECK_NUMBER_AT(c.line, driver::WaitForExit(run, 0), -1);
        CloseHostToExit(c.line, run);
    }
    driver::Finish(run);
    CHECK_AT(c.line, NothingInstalled(c.devices));
    RemovePackage(package);
}

// The installer asks a question of its own: meanwhile the host is disabled, and a click on its close
// button neither ends the program nor takes the question away. Answered, the update completes.
void TestInstallerQuestion() {
    check::currentCase = "the installer asks a question";
    const InfFile infs[3] = {{"cam30fe.inf", INF_30FE}};
    const Device devices[3] = {CAMERA("Vid_07e3&Pid_30fe", "16&1", "Orvane Camera 30FE", "PID_30FE")};
    Package package;
    if (!PreparePackage(__LINE__, package, infs, devices)) return;
    FakeInstaller swap = {};
    SetEnvironmentVariableA("SEMBRIX_TEST_INSTALLER", "ask");
    InstallFakeInstaller(swap);
    Run run;
    CHECK(driver::StartSembrix(exePath, package.folder, run));
    if (run.host) {
        driver::Press(run, IDC_BTN_OK);
        HWND question = driver::WaitForMessageBox(run, L"Installer question", driver::INSTALL_TIMEOUT_MS);
        CHECK(question != nullptr);
        CHECK(!IsWindowEnabled(run.host));
        RECT host;
        GetWindowRect(run.host, &host);
        const int border = GetSystemMetrics(SM_CXFIXEDFRAME);
        driver::ClickAt({host.right - border - GetSystemMetrics(SM_CXSIZE) / 2,
                         host.top + border + GetSystemMetrics(SM_CYCAPTION) / 2},
                        1, 0);
        driver::Pause(500);
        CHECK_NUMBER(driver::WaitForExit(run, 0), -1);
        CHECK(IsWindowVisible(question));
        PostMessageW(question, WM_COMMAND, IDYES, 0);
        CHECK(driver::WaitForHeadline(run, expected::Wide(IDS_UPDATE_DONE), 5000));
        CHECK(IsWindowEnabled(run.host));
        PressOkToExit(__LINE__, run);
    }
    driver::Finish(run);
    RemoveFakeInstaller(swap);
    SetEnvironmentVariableA("SEMBRIX_TEST_INSTALLER", nullptr);
    RemovePackage(package);
}

// The host windows on the screen: how many, and whose the last one seen.
struct HostWindows {
    int count;
    DWORD owner;
};

BOOL CALLBACK CountHostWindow(HWND window, LPARAM param) {
    wchar_t name[32];
    if (GetClassNameW(window, name, 32) && std::wcscmp(name, L"Pelmorant") == 0) {
        auto* seen = reinterpret_cast<HostWindows*>(param);
        ++seen->count;
        GetWindowThreadProcessId(window, &seen->owner);
    }
    return TRUE;
}

// Two starts a few milliseconds apart: one wizard; the other ends with 0 having shown no window.
void TestSimultaneousStarts() {
    check::currentCase = "two starts at once";
    char folder[MAX_PATH];
    CHECK(fixtures::MakeTempFolder("twice", folder));
    Run starts[2] = {};
    CHECK(driver::Launch(exePath, folder, starts[0].process) && driver::Launch(exePath, folder, starts[1].process));
    int most = 0;
    DWORD owners[2] = {};
    for (int poll = 0; poll < 60; ++poll) {
        HostWindows seen = {};
        EnumWindows(CountHostWindow, reinterpret_cast<LPARAM>(&seen));
        most = std::max(most, seen.count);
        if (seen.count && seen.owner != owners[0]) owners[owners[0] ? 1 : 0] = seen.owner;
        Sleep(50);
    }
    CHECK_NUMBER(most, 1);
    CHECK_NUMBER(owners[1], 0);
    const int winner = starts[0].process.dwProcessId == owners[0] ? 0 : 1;
    CHECK(starts[winner].process.dwProcessId == owners[0]);
    CHECK_NUMBER(driver::WaitForExit(starts[1 - winner], EXIT_TIMEOUT_MS), 0);
    PostMessageW(FindWindowW(L"Pelmorant", nullptr), WM_CLOSE, 0, 0);
    CHECK_NUMBER(driver::WaitForExit(starts[winner], EXIT_TIMEOUT_MS), 0);
    for (Run& start : starts) driver::Finish(start);
    fixtures::RemoveFolder(folder);
}

void RunReturnCase(const ReturnCase& c) {
    check::currentCase = c.title;
    const InfFile infs[3] = {{"cam30fe.inf", INF_30FE}, {"cam4000.inf", INF_4000}};
    const Device devices[3] = {CAMERA("Vid_07e3&Pid_30fe", "13&1", "Mini", "PID_30FE"),
                               CAMERA("Vid_07e3&Pid_4000", "13&2", "Pocket", "PID_4000")};
    const UINT reached[] = {IDS_INTRO_HEADLINE, IDS_SELECT_PROMPT, IDS_UPDATE_DONE};
    Package package;
    if (!PreparePackage(c.line, package, infs, devices)) return;
    Run run;
    CHECK_AT(c.line, driver::StartSembrix(exePath, package.folder, run));
    if (run.host) {
        for (int press = 0; press < c.okPresses; ++press) driver::Press(run, IDC_BTN_OK);
        CHECK_AT(c.line,
                 driver::WaitForHeadline(run, expected::Wide(reached[c.okPresses]), driver::INSTALL_TIMEOUT_MS));
        driver::Pause(300);
        for (int tab = 0; tab < c.tabs; ++tab) driver::PressKey(run, VK_TAB);
        driver::Pause(300);
        CHECK_AT(c.line, driver::ReadControl(run, c.focusId).focused);
        LeaveAndComeBack(c.line, run, c.away, package.folder);
        if (c.okPresses == 0)
            CheckIntroScreen(c.line, run);
        else
            CHECK_AT(c.line, driver::ReadControl(run, c.focusId).focused);
        driver::PressKey(run, c.key);
        driver::Pause(300);
        if (c.key == VK_DOWN) CHECK_NUMBER_AT(c.line, driver::ReadListSelection(run), 1);
        if (c.nextHeadline)
            CHECK_AT(c.line, driver::WaitForHeadline(run, expected::Wide(c.nextHeadline), 5000));
        else
            CHECK_NUMBER_AT(c.line, driver::WaitForExit(run, EXIT_TIMEOUT_MS), 0);
    }
    driver::Finish(run);
    RemovePackage(package);
}

// The host sits around the dialog showing the intro, centred on the screen, with the title, class and style given.
void TestHostWindow() {
    check::currentCase = "host window";
    char folder[MAX_PATH];
    CHECK(fixtures::MakeTempFolder("host", folder));
    Run run;
    CHECK(driver::StartSembrix(exePath, folder, run));
    if (run.host) {
        CheckIntroScreen(__LINE__, run);
        wchar_t title[64];
        GetWindowTextW(run.host, title, 64);
        CHECK(std::wcscmp(title, L"Sembrix") == 0);
        const LONG style = GetWindowLongW(run.host, GWL_STYLE);
        CHECK((style & (WS_SYSMENU | WS_MINIMIZEBOX)) == (WS_SYSMENU | WS_MINIMIZEBOX));
        CHECK((style & (WS_MAXIMIZEBOX | WS_THICKFRAME)) == 0);
        RECT host;
        GetWindowRect(run.host, &host);
        RECT dialog;
        GetWindowRect(run.dialog, &dialog);
        MapWindowPoints(HWND_DESKTOP, run.host, reinterpret_cast<POINT*>(&dialog), 2);
        CHECK_NUMBER(dialog.left, 0);
        CHECK_NUMBER(dialog.top, 0);
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        CHECK_NUMBER(host.left, (screenWidth - (host.right - host.left)) / 2);
        CHECK_NUMBER(host.top, (screenHeight - (host.bottom - host.top)) / 2);
        CloseHostToExit(__LINE__, run);
    }
    driver::Finish(run);
    fixtures::RemoveFolder(folder);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc < 4) {
        std::printf("usage: wizard_system_test SEMBRIX_EXE [SCREENSHOT_FOLDER FAILING_NEWDEV_DLL]\n");
        return 2;
    }
    // Real pixels at any DPI, as the DPI-aware wizard has them.
    SetProcessDPIAware();
    HDC screen = GetDC(nullptr);
    systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // The system's code page, not this process's: the test speaks the exe's.
    UINT systemCodePage = 0;
    GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                   reinterpret_cast<LPWSTR>(&systemCodePage), sizeof systemCodePage / sizeof(wchar_t));
    westernLocale = systemCodePage != 932;
    fixtures::ToWindowsPath(argv[1], exePath);
    static char manifest[driver::MANIFEST_SIZE];
    exeSpeaksUtf8 =
        driver::ReadManifest(exePath, manifest) && std::strstr(manifest, ">UTF-8</activeCodePage>") != nullptr;
    // The exe alone (a signed release, say): only that it starts as it should.
    if (argc == 2) {
        TestHostWindow();
        return check::Summary();
    }

    fixtures::ToWindowsPath(argv[2], shotFolder);
    fixtures::ToWindowsPath(argv[3], fakeInstallerPath);
    fixtures::MakeFolderChain(shotFolder);
    char layoutPath[MAX_PATH];
    std::snprintf(layoutPath, sizeof layoutPath, "%s\\layout-96.txt", shotFolder);
    // The reference layout is the Japanese system's; a Western one only keeps every control inside the dialog.
    if (!westernLocale) {
        layout96 = std::fopen(layoutPath, systemDpi == 96 ? "w" : "r");
        CHECK(layout96 != nullptr);
    }
    TestHostWindow();
    for (const FailureCase& c : FAILURE_CASES) RunFailureCase(c);
    for (const UpdateCase& c : UPDATE_CASES) RunUpdateCase(c);
    for (const CancelCase& c : CANCEL_CASES) RunCancelCase(c);
    if (layout96) std::fclose(layout96);
    layout96 = nullptr;
    // The keyboard does not depend on the code page: its tables run once, on the exe as built.
    if (westernLocale || !exeSpeaksUtf8) return check::Summary();
    if (systemDpi != 96) {
        std::printf(
            "at %d DPI the dialog grew %.3f x %.3f; template controls are off the 96-DPI layout grown so by "
            "at most %ld px; any control is off the 96-DPI layout times %d/96 by at most %ld px\n",
            systemDpi, growth[0], growth[1], largestFromTemplate, systemDpi, largestFromDpi);
        return check::Summary();
    }
    TestEscapeThenClose(false);
    TestEscapeThenClose(true);
    for (const ReturnCase& c : RETURN_CASES) RunReturnCase(c);
    for (const DoubleClickCase& c : DOUBLE_CLICK_CASES) RunDoubleClickCase(c);
    TestInstallerQuestion();
    TestSimultaneousStarts();
    return check::Summary();
}
