// Hostile packages and registries: the exe never crashes or hangs, ends with 0, and shows a result
// that fits what it was given.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "camera_inf.h"
#include "check.h"
#include "expected_texts.h"
#include "resource.h"
#include "wine_fixtures.h"
#include "wizard_driver.h"

namespace {

constexpr char MODELS_30FE[] = CAMERA_INF_HEAD("PID_30FE");
constexpr char INSTALL_SECTION[] = CAMERA_INF_TAIL("PID_30FE", "Orvane Camera 30FE");
constexpr char CAMERA_30FE_INF[] = CAMERA_INF("PID_30FE", "Orvane Camera 30FE");
constexpr int MANY_KEYS = 10000;

char exePath[MAX_PATH];
char folder[MAX_PATH];
char text[16384];  // INF text under construction

const fixtures::Device CAMERA = {"Vid_07e3&Pid_30fe",     "12&1", "Orvane Camera 30FE", REG_SZ, 0,
                                 "USB\\VID_07E3&PID_30FE"};

bool WriteText(const char* name) { return fixtures::WriteFileBytes(folder, name, text, std::strlen(text)); }

// Bytes from a fixed linear congruential sequence: the same garbage every run.
bool PrepareGarbage() {
    unsigned char bytes[4096];
    unsigned state = 12345;
    for (unsigned char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<unsigned char>(state >> 16);
    }
    return fixtures::WriteFileBytes(folder, "garbage.inf", bytes, sizeof bytes) && fixtures::AddDevice(CAMERA);
}

bool PrepareUtf16() {
    wchar_t wide[1024];
    const int length = MultiByteToWideChar(CP_ACP, 0, CAMERA_30FE_INF, -1, wide + 1, 1000);
    wide[0] = 0xFEFF;
    return length > 0 &&
           fixtures::WriteFileBytes(folder, "utf16.inf", wide, static_cast<std::size_t>(length) * sizeof(wchar_t)) &&
           fixtures::AddDevice(CAMERA);
}

bool PrepareEmpty() { return fixtures::WriteFileBytes(folder, "empty.inf", "", 0) && fixtures::AddDevice(CAMERA); }

// The first model line names the camera; ten thousand bytes of further models follow.
bool PrepareLongSection() {
    std::snprintf(text, sizeof text, "%s", MODELS_30FE);
    for (int line = 0; std::strlen(text) < 10300; ++line) {
        const std::size_t used = std::strlen(text);
        std::snprintf(text + used, sizeof text - used, "\"Model %04d\"=CameraInstall,USB\\VID_07E3&PID_%04X\r\n", line,
                      line);
    }
    const std::size_t used = std::strlen(text);
    std::snprintf(text + used, sizeof text - used, "%s", INSTALL_SECTION);
    return WriteText("long.inf") && fixtures::AddDevice(CAMERA);
}

// A first model line longer than the section buffer: its token is cut off, so no model.
bool PrepareLongFirstLine() {
    char name[801];
    std::memset(name, 'x', sizeof name - 1);
    name[sizeof name - 1] = '\0';
    std::snprintf(text, sizeof text, "[Models]\r\n\"%s\"=CameraInstall,USB\\VID_07E3&PID_30FE\r\n", name);
    return WriteText("longline.inf") && fixtures::AddDevice(CAMERA);
}

// More INF files than the table has rows; the camera's model is among the first.
bool PrepareManyInfs() {
    std::snprintf(text, sizeof text, "%s", CAMERA_30FE_INF);
    bool ok = WriteText("a000.inf");
    for (int i = 1; i < 150 && ok; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "m%03d.inf", i);
        char other[256];
        std::snprintf(other, sizeof other, "[Models]\r\nM=I,USB\\VID_07E3&PID_%04X\r\n", 0x6000 + i);
        ok = fixtures::WriteFileBytes(folder, name, other, std::strlen(other));
    }
    return ok && fixtures::AddDevice(CAMERA);
}

// Device key names of 255 characters, the registry's longest, all carrying the vendor marker.
void LongKeyName(char (&name)[256], int variant) {
    std::snprintf(name, sizeof name, "Vid_07e3&Pid_30fe&%03d", variant);
    std::memset(name + std::strlen(name), 'k', 255 - std::strlen(name));
    name[255] = '\0';
}

bool PrepareLongKeyNames() {
    std::snprintf(text, sizeof text, "%s", CAMERA_30FE_INF);
    bool ok = WriteText("cam.inf");
    for (int variant = 0; variant < 3 && ok; ++variant) {
        char name[256];
        LongKeyName(name, variant);
        ok = fixtures::AddDevice({name, "1", "Long", REG_SZ, 0, nullptr});
    }
    return ok;
}

void RemoveLongKeyNames() {
    for (int variant = 0; variant < 3; ++variant) {
        char name[256];
        LongKeyName(name, variant);
        fixtures::RemoveDevice(name);
    }
}

void ManyKeyName(char (&name)[64], int i) {
    if (i % 10 == 0)
        std::snprintf(name, sizeof name, "Vid_07e3&Pid_%04X", 0x7000 + i);
    else
        std::snprintf(name, sizeof name, "Vid_%04x&Pid_%04x", 0x1000 + i % 97, i);
}

// Ten thousand device keys, one in ten of the maker; the real camera among them.
bool PrepareManyKeys() {
    std::snprintf(text, sizeof text, "%s", CAMERA_30FE_INF);
    bool ok = WriteText("cam.inf") && fixtures::AddDevice(CAMERA);
    for (int i = 0; i < MANY_KEYS && ok; ++i) {
        char name[64];
        ManyKeyName(name, i);
        ok = fixtures::AddDevice({name, "1", i % 10 == 0 ? "Other model" : nullptr, REG_SZ, 0, nullptr});
    }
    return ok;
}

void RemoveManyKeys() {
    for (int i = 0; i < MANY_KEYS; ++i) {
        char name[64];
        ManyKeyName(name, i);
        fixtures::RemoveDevice(name);
    }
}

bool PrepareBinaryName() {
    std::snprintf(text, sizeof text, "%s", CAMERA_30FE_INF);
    return WriteText("cam.inf") &&
           fixtures::AddDevice({CAMERA.keyName, CAMERA.instanceName, "\x01\x02\x03\x04\x05\x06\x07\x08", REG_BINARY, 8,
                                CAMERA.hardwareId});
}

struct HostileCase {
    int line;
    const char* title;
    bool (*prepare)();
    void (*cleanUp)();
    UINT result;
};

const HostileCase CASES[] = {
    {__LINE__, "INF of binary garbage", PrepareGarbage, nullptr, IDS_UPDATE_FAILED},
    {__LINE__, "INF in UTF-16 with a byte-order mark", PrepareUtf16, nullptr, IDS_UPDATE_DONE},
    {__LINE__, "empty INF", PrepareEmpty, nullptr, IDS_UPDATE_FAILED},
    {__LINE__, "Models section of 10 KB", PrepareLongSection, nullptr, IDS_UPDATE_DONE},
    {__LINE__, "first model line longer than the section buffer", PrepareLongFirstLine, nullptr, IDS_UPDATE_FAILED},
    {__LINE__, "150 INF files", PrepareManyInfs, nullptr, IDS_UPDATE_DONE},
    {__LINE__, "device key names of 255 characters", PrepareLongKeyNames, RemoveLongKeyNames, IDS_UPDATE_FAILED},
    {__LINE__, "10,000 device keys", PrepareManyKeys, RemoveManyKeys, IDS_UPDATE_DONE},
    {__LINE__, "FriendlyName stored as binary", PrepareBinaryName, nullptr, IDS_UPDATE_FAILED},
};

void RunHostileCase(const HostileCase& c) {
    check::currentCase = c.title;
    CHECK_AT(c.line, fixtures::MakeTempFolder("hostile", folder));
    CHECK_AT(c.line, c.prepare());
    driver::Run run;
    CHECK_AT(c.line, driver::StartSembrix(exePath, folder, run));
    if (run.host) {
        driver::Press(run, IDC_BTN_OK);
        const bool shown = driver::WaitForHeadline(run, expected::Wide(c.result), driver::INSTALL_TIMEOUT_MS);
        CHECK_AT(c.line, shown);
        if (!shown) std::printf("    headline: %ls\n", driver::ReadControl(run, IDC_HEADLINE).text);
        driver::Press(run, IDC_BTN_OK);
        CHECK_NUMBER_AT(c.line, driver::WaitForExit(run, 10000), 0);
    }
    driver::Finish(run);
    fixtures::RemoveDevice(CAMERA.keyName);
    if (c.cleanUp) c.cleanUp();
    fixtures::RemoveFolder(folder);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: hostile_input_test SEMBRIX_EXE\n");
        return 2;
    }
    fixtures::ToWindowsPath(argv[1], exePath);
    for (const HostileCase& c : CASES) RunHostileCase(c);
    return check::Summary();
}
