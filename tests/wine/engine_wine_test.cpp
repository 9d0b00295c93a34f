// Camera discovery on the real platform: INF files in a temp folder, device keys in Wine's registry.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iterator>

#include "check.h"
#include "device_scanner.h"
#include "model_catalog.h"
#include "model_rules.h"
#include "model_table.h"
#include "wine_fixtures.h"

using fixtures::Device;
using fixtures::InfFile;

namespace {

constexpr char CAM_30FE[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Models]\r\n%Cam%=Cam,USB\\VID_07E3&PID_30FE\r\n";
constexpr char CAM_30FE_MI[] =
    "[Models]\r\n%Cam%=Cam,USB\\VID_07E3&PID_30FE&MI_00\r\n%Two%=Two,USB\\VID_07E3&PID_4000\r\n";
constexpr char CAM_4000_REV[] = "[Models]\r\nCam=Cam,USB\\VID_07E3&PID_4000&REV_0001\r\n";
constexpr char CAM_LOWER[] = "[Models]\r\nCam=Cam,USB\\VID_07E3&pid_30fe\r\n";
constexpr char NO_MODELS[] = "[Version]\r\nSignature=\"$Windows NT$\"\r\n";
constexpr char NO_TOKEN[] = "[Models]\r\nCam=Cam,USB\\VID_07E3&\r\n";
constexpr char TOKEN_19[] = "[Models]\r\nCam=Cam,USB\\VID_07E3&PID_ABCDEFGHIJKLMNO\r\n";
constexpr char TOKEN_20[] = "[Models]\r\nCam=Cam,USB\\VID_07E3&PID_ABCDEFGHIJKLMNOP\r\n";
constexpr char TOKEN_11[] = "[Models]\r\nCam=Cam,USB\\VID_07E3&PID_30FE12a\r\n";
constexpr char TOKEN_12[] = "[Models]\r\nCam=Cam,USB\\VID_07E3&PID_30FE12AB\r\n";

// Names are held in 300 bytes: a character of UTF-8 takes up to 3.
#define DIGITS_99 "123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789"
#define DIGITS_100 DIGITS_99 "0"
constexpr char NAME_299[] = DIGITS_100 DIGITS_100 DIGITS_99;
constexpr char NAME_300[] = DIGITS_100 DIGITS_100 DIGITS_100;
// Key paths are USB list (33) + "\\" + key name [+ "\\" + instance]; 127 characters fit.
constexpr char KEY_NAME_91[] =
    "Vid_07e3&Pid_30fe&xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
constexpr char KEY_NAME_92[] =
    "Vid_07e3&Pid_30fe&xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
constexpr char KEY_NAME_94[] =
    "Vid_07e3&Pid_30fe&xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";

struct ExpectedRow {
    const char* fileName;  // the row whose infPath ends in this name
    const char* token;
    const char* friendlyName;
};

struct Scenario {
    int line;
    const char* title;
    InfFile infs[4];
    Device devices[4];
    int matchCount;
    int rowCount;
    ExpectedRow rows[3];
};

// clang-format off
const Scenario SCENARIOS[] = {
    {__LINE__, "empty folder", {}, {{"Vid_07e3&Pid_30fe", "5&1", "Cam A"}}, 0, 0, {}},
    {__LINE__, "one camera", {{"a.inf", CAM_30FE}}, {{"Vid_07e3&Pid_30fe", "5&1", "Cam A"}}, 1, 1, {{"a.inf",
     "PID_30FE", "Cam A"}}},
    {__LINE__, "marker in capitals (later Windows)", {{"a.inf", CAM_30FE}}, {{"VID_07E3&PID_30FE", "5&1", "Cam A"}},
     1, 1, {{"a.inf", "PID_30FE", "Cam A"}}},
    {__LINE__, "marker in lower case", {{"a.inf", CAM_30FE}}, {{"vid_07e3&pid_30fe", "5&1", "Cam A"}}, 1, 1,
     {{"a.inf", "PID_30FE", "Cam A"}}},
    {__LINE__, "first model line only, MI_00 part dropped", {{"a.inf", CAM_30FE_MI}}, {{"Vid_07e3&Pid_4000", "5&1",
     "Other"}, {"Vid_07e3&Pid_30fe", "5&2", "Cam A"}}, 1, 1, {{"a.inf", "PID_30FE", "Cam A"}}},
    {__LINE__, "REV part dropped", {{"b.inf", CAM_4000_REV}}, {{"Vid_07e3&Pid_4000&Rev_0001", "5&1", "Cam B"}}, 1, 1,
     {{"b.inf", "PID_4000", "Cam B"}}},
    {__LINE__, "lower-case INF token never matches", {{"a.inf", CAM_LOWER}}, {{"Vid_07e3&Pid_30fe", "5&1", "Cam A"}},
     0, 1, {{"a.inf", "pid_30fe", ""}}},
    {__LINE__, "composite device: two keys, one row, last name kept", {{"a.inf", CAM_30FE}}, {{"Vid_07e3&Pid_30fe",
     "5&1", "Cam A"}, {"Vid_07e3&Pid_30fe&Mi_00", "6&1", "Cam A interface"}}, 2, 1, {{"a.inf", "PID_30FE",
     "Cam A interface"}}},
    {__LINE__, "two cameras of two models", {{"a.inf", CAM_30FE}, {"b.inf", CAM_4000_REV}}, {{"Vid_07e3&Pid_30fe",
     "5&1", "Cam A"}, {"Vid_07e3&Pid_4000", "5&2", "Cam B"}}, 2, 2, {{"a.inf", "PID_30FE", "Cam A"}, {"b.inf",
     "PID_4000", "Cam B"}}},
    {__LINE__, "no FriendlyName: not counted", {{"a.inf", CAM_30FE}}, {{"Vid_07e3&Pid_30fe", "5&1", nullptr}}, 0, 1,
     {{"a.inf", "PID_30FE", ""}}},
    {__LINE__, "FriendlyName not a string: not counted", {{"a.inf", CAM_30FE}}, {{"Vid_07e3&Pid_30fe", "5&1",
     "\x01\x02\x03\x04", REG_DWORD, 4}}, 0, 1, {{"a.inf", "PID_30FE", ""}}},
    {__LINE__, "empty FriendlyName: not counted", {{"a.inf", CAM_30FE}}, {{"Vid_07e3&Pid_30fe", "5&1", ""}}, 0, 1,
     {{"a.inf", "PID_30FE", ""}}},
    {__LINE__, "FriendlyName of 299 bytes fits", {{"a.inf", CAM_30FE}}, {{"Vid_07e3&Pid_30fe", "5&1", NAME_299}}, 1,
     1, {{"a.inf", "PID_30FE", NAME_299}}},
    {__LINE__, "FriendlyName of 300 bytes without terminator", {{"a.inf", CAM_30FE}}, {{"Vid_07e3&Pid_30fe", "5&1",
     NAME_300, REG_SZ, 300}}, 0, 1, {{"a.inf", "PID_30FE", ""}}},
    {__LINE__, "FriendlyName of 300 bytes with terminator", {{"a.inf", CAM_30FE}}, {{"Vid_07e3&Pid_30fe", "5&1",
     NAME_300}}, 0, 1, {{"a.inf", "PID_30FE", ""}}},
    {__LINE__, "name unreadable, next device still read", {{"a.inf", CAM_30FE}}, {{"Vid_07e3&Pid_30fe", "5&1",
     nullptr}, {"Vid_07e3&Pid_30fe&Mi_01", "6&1", "Cam A"}}, 1, 1, {{"a.inf", "PID_30FE", "Cam A"}}},
    {__LINE__, "other vendor with the same product ignored", {{"a.inf", CAM_30FE}}, {{"Vid_045e&Pid_30fe", "5&1",
     "Mouse"}}, 0, 1, {{"a.inf", "PID_30FE", ""}}},
    {__LINE__, "device token matches no row", {{"a.inf", CAM_30FE}}, {{"Vid_07e3&Pid_9999", "5&1", "Unknown"}}, 0, 1,
     {{"a.inf", "PID_30FE", ""}}},
    {__LINE__, "stale copy x.inf_old not read, though *.inf finds it by its short name", {{"a.inf", CAM_30FE},
     {"a.inf_old", CAM_4000_REV}}, {{"Vid_07e3&Pid_4000", "5&1", "Cam B"}}, 0, 1, {{"a.inf", "PID_30FE", ""}}},
    {__LINE__, "no Models section and no token: no rows", {{"a.inf", NO_MODELS}, {"b.inf", NO_TOKEN}},
     {{"Vid_07e3&Pid_30fe", "5&1", "Cam A"}}, 0, 0, {}},
    {__LINE__, "token of 19 bytes kept, of 20 skipped", {{"a.inf", TOKEN_19}, {"b.inf", TOKEN_20}}, {}, 0, 1,
     {{"a.inf", "PID_ABCDEFGHIJKLMNO", ""}}},
    {__LINE__, "device token of 11: first 10 upper-cased", {{"a.inf", TOKEN_11}}, {{"Vid_07e3&Pid_30fe12a", "5&1",
     "Eleven"}}, 1, 1, {{"a.inf", "PID_30FE12a", "Eleven"}}},
    {__LINE__, "device token of 12 skipped", {{"a.inf", TOKEN_12}}, {{"Vid_07e3&Pid_30fe12ab", "5&1", "Twelve"}}, 0,
     1, {{"a.inf", "PID_30FE12AB", ""}}},
    {__LINE__, "device key without token skipped", {{"a.inf", CAM_30FE}}, {{"Vid_07e3", "5&1", "Bare"}, {"Vid_07e3&",
     "5&2", "Amp"}}, 0, 1, {{"a.inf", "PID_30FE", ""}}},
    {__LINE__, "instance key path of 127 read", {{"a.inf", CAM_30FE}}, {{KEY_NAME_91, "1", "Long"}}, 1, 1, {{"a.inf",
     "PID_30FE", "Long"}}},
    {__LINE__, "instance key path of 128 skipped", {{"a.inf", CAM_30FE}}, {{KEY_NAME_92, "1", "Long"}}, 0, 1,
     {{"a.inf", "PID_30FE", ""}}},
    {__LINE__, "device key path of 128 skipped", {{"a.inf", CAM_30FE}}, {{KEY_NAME_94, "1", "Long"}}, 0, 1, {{"a.inf",
     "PID_30FE", ""}}},
};
// clang-format on

// Clears the process-wide table and count between cases.
void ResetTable() {
    std::memset(&modelTable, 0, sizeof modelTable);
    matchCount = 0;
}

// Index of the row whose infPath is folder\fileName, or -1.
int RowOfFile(const char* folder, const char* fileName) {
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%s\\%s", folder, fileName);
    for (int row = 0; row < MODEL_TABLE_CAPACITY; ++row)
        if (std::strcmp(modelTable.rows[row].infPath, path) == 0) return row;
    return -1;
}

int RowCount() { return model_rules::CountModelRows(modelTable); }

// The highest of the handle values that 16 keys opened at once get. Freed slots are reused lowest
// first, so a key or file search that discovery left open pushes it higher afterwards.
ULONG_PTR HandleWatermark() {
    HKEY probes[16] = {};
    ULONG_PTR highest = 0;
    for (HKEY& probe : probes) {
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM", 0, KEY_READ, &probe);
        if (reinterpret_cast<ULONG_PTR>(probe) > highest) highest = reinterpret_cast<ULONG_PTR>(probe);
    }
    for (HKEY probe : probes) RegCloseKey(probe);
    return highest;
}

// Loads the table in folder and scans, as the wizard does on the first OK. Every key and search
// that discovery opened must be closed again.
int Discover(const char* folder, int line = __builtin_LINE()) {
    ResetTable();
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(folder);
    const ULONG_PTR watermarkBefore = HandleWatermark();
    LoadModelTable();
    ScanAttachedCameras(&matchCount);
    CHECK_NUMBER_AT(line, HandleWatermark(), watermarkBefore);
    SetCurrentDirectoryA(previous);
    return matchCount;
}

// How often the catalogue told the maker's report of each outcome in the last ReportOutcomes.
int reported[static_cast<int>(InfOutcome::TableFull) + 1];

void CountOutcome(const char*, InfOutcome outcome, const ModelEntry* row) {
    ++reported[static_cast<int>(outcome)];
    CHECK((row != nullptr) == (outcome == InfOutcome::Row));
}

// Loads the table in folder with a report, as the maker's package report does.
void ReportOutcomes(const char* folder) {
    ResetTable();
    std::memset(reported, 0, sizeof reported);
    SetCurrentDirectoryA(folder);
    LoadModelTable(CountOutcome);
    SetCurrentDirectoryA("C:\\");
}

int Reported(InfOutcome outcome) { return reported[static_cast<int>(outcome)]; }

void RunScenario(const Scenario& scenario) {
    check::currentCase = scenario.title;
    char folder[MAX_PATH];
    CHECK_AT(scenario.line, fixtures::MakeTempFolder("engine", folder));
    for (const InfFile& inf : scenario.infs)
        if (inf.fileName) CHECK_AT(scenario.line, fixtures::WriteInf(folder, inf));
    for (const Device& device : scenario.devices)
        if (device.keyName) CHECK_AT(scenario.line, fixtures::AddDevice(device));

    CHECK_NUMBER_AT(scenario.line, Discover(folder, scenario.line), scenario.matchCount);
    CHECK_NUMBER_AT(scenario.line, RowCount(), scenario.rowCount);
    for (const ExpectedRow& expected : scenario.rows) {
        if (!expected.fileName) continue;
        const int row = RowOfFile(folder, expected.fileName);
        CHECK_AT(scenario.line, row >= 0);
        if (row < 0) continue;
        CHECK_TEXT_AT(scenario.line, modelTable.rows[row].productToken, expected.token);
        CHECK_TEXT_AT(scenario.line, modelTable.rows[row].friendlyName, expected.friendlyName);
    }

    for (const Device& device : scenario.devices)
        if (device.keyName) fixtures::RemoveDevice(device.keyName);
    fixtures::RemoveFolder(folder);
}

// Two INF files with one token: only the first row in table order gets the name.
void TestDuplicateTokenNamesFirstRow() {
    check::currentCase = "two INFs, one token";
    char folder[MAX_PATH];
    CHECK(fixtures::MakeTempFolder("dup", folder));
    CHECK(fixtures::WriteInf(folder, {"a.inf", CAM_30FE}));
    CHECK(fixtures::WriteInf(folder, {"b.inf", CAM_30FE}));
    CHECK(fixtures::AddDevice({"Vid_07e3&Pid_30fe", "5&1", "Cam A"}));
    CHECK_NUMBER(Discover(folder), 1);
    CHECK_NUMBER(RowCount(), 2);
    CHECK_TEXT(modelTable.rows[0].friendlyName, "Cam A");
    CHECK_TEXT(modelTable.rows[1].friendlyName, "");
    CHECK_TEXT(modelTable.rows[1].productToken, "PID_30FE");
    fixtures::RemoveDevice("Vid_07e3&Pid_30fe");
    fixtures::RemoveFolder(folder);
}

// More INF files than rows: the last row stays free so that every walk ends.
void TestMoreInfFilesThanRows() {
    check::currentCase = "120 INF files";
    char folder[MAX_PATH];
    CHECK(fixtures::MakeTempFolder("many", folder));
    for (int i = 0; i < 120; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "m%03d.inf", i);
        CHECK(fixtures::WriteInf(folder, {name, CAM_30FE}));
    }
    Discover(folder);
    CHECK_NUMBER(RowCount(), MODEL_TABLE_CAPACITY - 1);
    CHECK_TEXT(modelTable.rows[MODEL_TABLE_CAPACITY - 1].infPath, "");
    // The report goes on past the last usable row and tells of the rest; the table is the same.
    ReportOutcomes(folder);
    CHECK_NUMBER(Reported(InfOutcome::Row), MODEL_TABLE_CAPACITY - 1);
    CHECK_NUMBER(Reported(InfOutcome::TableFull), 120 - (MODEL_TABLE_CAPACITY - 1));
    CHECK_NUMBER(RowCount(), MODEL_TABLE_CAPACITY - 1);
    fixtures::RemoveFolder(folder);
}

// A folder whose name takes the path past 260 bytes, or leaves no room for the pattern.
void TestLongPaths() {
    char base[MAX_PATH];
    CHECK(fixtures::MakeTempFolder("long", base));
    const std::size_t baseLength = std::strlen(base);

    // dir + name over the platform's 259 characters: that file is skipped, a short name beside it is kept.
    check::currentCase = "INF path over 259 characters";
    char deep[MAX_PATH] = {};
    std::snprintf(deep, sizeof deep, "%s\\", base);
    std::memset(deep + baseLength + 1, 'd', 240 - baseLength);
    CHECK(fixtures::MakeFolderChain(deep));
    char longName[40];
    std::memset(longName, 'n', 25);
    std::strcpy(longName + 25, ".inf");
    CHECK(fixtures::WriteInf(deep, {longName, CAM_30FE}));
    CHECK(fixtures::WriteInf(deep, {"s.inf", CAM_4000_REV}));
    Discover(deep);
    CHECK_NUMBER(RowCount(), 1);
    CHECK_TEXT(modelTable.rows[0].productToken, "PID_4000");
    ReportOutcomes(deep);
    CHECK_NUMBER(Reported(InfOutcome::PathTooLong), 1);

    // A current directory of 254 characters leaves no room for "\*.inf": the table stays empty.
    check::currentCase = "current directory too long for the pattern";
    char deepest[MAX_PATH] = {};
    std::snprintf(deepest, sizeof deepest, "%s\\", deep);
    std::memset(deepest + std::strlen(deepest), 'e', 254 - std::strlen(deepest));
    CHECK_NUMBER(std::strlen(deepest), 254);
    CHECK(CreateDirectoryA(deepest, nullptr) != FALSE);
    CHECK(fixtures::WriteInf(deepest, {"a.inf", CAM_30FE}));
    Discover(deepest);
    CHECK_NUMBER(RowCount(), 0);

    fixtures::RemoveFolder(deepest);
    fixtures::RemoveFolder(deep);
    fixtures::RemoveFolder(base);
}

// Each way an INF file gives no row is told apart, in the report of the package.
void TestOutcomeReport() {
    check::currentCase = "outcome of each INF";
    char folder[MAX_PATH];
    CHECK(fixtures::MakeTempFolder("outcome", folder));
    const InfFile infs[] = {{"a.inf", CAM_30FE}, {"b.inf", NO_MODELS}, {"c.inf", NO_TOKEN}, {"d.inf", TOKEN_20}};
    for (const InfFile& inf : infs) CHECK(fixtures::WriteInf(folder, inf));
    ReportOutcomes(folder);
    for (InfOutcome outcome :
         {InfOutcome::Row, InfOutcome::NoModelsSection, InfOutcome::NoToken, InfOutcome::TokenTooLong})
        CHECK_NUMBER(Reported(outcome), 1);
    CHECK_NUMBER(RowCount(), 1);
    fixtures::RemoveFolder(folder);
}

// A device whose key has no instance below it has no name to read.
void TestDeviceWithoutInstance() {
    check::currentCase = "device key without instance";
    char folder[MAX_PATH];
    CHECK(fixtures::MakeTempFolder("noinst", folder));
    CHECK(fixtures::WriteInf(folder, {"a.inf", CAM_30FE}));
    HKEY key;
    CHECK(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_07e3&Pid_30fe", 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS);
    RegSetValueExA(key, "FriendlyName", 0, REG_SZ, reinterpret_cast<const BYTE*>("On the device key"), 18);
    RegCloseKey(key);
    CHECK_NUMBER(Discover(folder), 0);
    CHECK_TEXT(modelTable.rows[0].friendlyName, "");
    fixtures::RemoveDevice("Vid_07e3&Pid_30fe");
    fixtures::RemoveFolder(folder);
}

}  // namespace

// The platform creates some handles of its own on first use (the profile reader's); let it, once.
void WarmUpPlatform() {
    char folder[MAX_PATH];
    if (!fixtures::MakeTempFolder("warm", folder)) return;
    fixtures::WriteInf(folder, {"a.inf", CAM_30FE});
    fixtures::AddDevice({"Vid_07e3&Pid_30fe", "5&1", "Cam A"});
    ResetTable();
    SetCurrentDirectoryA(folder);
    LoadModelTable();
    ScanAttachedCameras(&matchCount);
    SetCurrentDirectoryA("C:\\");
    fixtures::RemoveDevice("Vid_07e3&Pid_30fe");
    fixtures::RemoveFolder(folder);
}

int main() {
    WarmUpPlatform();
    for (const Scenario& scenario : SCENARIOS) RunScenario(scenario);
    TestDuplicateTokenNamesFirstRow();
    TestMoreInfFilesThanRows();
    TestLongPaths();
    TestOutcomeReport();
    TestDeviceWithoutInstance();
    return check::Summary();
}
