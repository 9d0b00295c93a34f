// Benchmark under Wine: what camera discovery costs against the platform's own floor, how long the
// wizard takes to show its intro against a minimal dialog program, and how small it is. It prints
// one table with the targets beside the figures and always exits 0: the figures are for reading.
#include <windows.h>

// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "device_scanner.h"
#include "model_catalog.h"
#include "model_table.h"
#include "wine_fixtures.h"
#include "wizard_driver.h"

namespace {

constexpr int INF_FILES = 99;
constexpr int SIZES[] = {10, 1000, 10000};
constexpr int MATCHING = 3;  // devices whose product is in the package
constexpr int ROUNDS = 15;
constexpr int START_ROUNDS = 9;
constexpr char USB_ENUM_KEY[] = "SYSTEM\\CurrentControlSet\\Enum\\USB";

char packageFolder[MAX_PATH];
char sembrixPath[MAX_PATH];
char minimalPath[MAX_PATH];
char minimalManifestPath[MAX_PATH];
char bareHostPath[MAX_PATH];

double Now() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(double* values, int count) {
    std::sort(values, values + count);
    return values[count / 2];
}

// Device key i of n: one in ten of the maker, the first MATCHING of those with a product of the package.
void DeviceKeyName(int i, char (&name)[64]) {
    if (i % 10 != 0)
        std::snprintf(name, sizeof name, "Vid_%04x&Pid_%04x", 0x1000 + i % 89, i);
    else if (i / 10 < MATCHING)
        std::snprintf(name, sizeof name, "Vid_07e3&Pid_a%03d", i / 10);
    else
        std::snprintf(name, sizeof name, "Vid_07e3&Pid_f%03x", i / 10);
}

bool PreparePackage() {
    if (!fixtures::MakeTempFolder("bench", packageFolder)) return false;
    for (int i = 0; i < INF_FILES; ++i) {
        char name[32];
        char text[256];
        std::snprintf(name, sizeof name, "model%02d.inf", i);
        std::snprintf(
            text, sizeof text,
            "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Models]\r\n\"Model %d\"=Install,USB\\VID_07E3&PID_A%03d"
            "\r\n[Install]\r\n",
            i, i);
        if (!fixtures::WriteFileBytes(packageFolder, name, text, std::strlen(text))) return false;
    }
    return true;
}

// Grows the USB list from `from` to `to` device keys.
bool AddDeviceKeys(int from, int to) {
    for (int i = from; i < to; ++i) {
        char name[64];
        DeviceKeyName(i, name);
        const bool matching = i % 10 == 0 && i / 10 < MATCHING;
        if (!fixtures::AddDevice({name, "1", matching ? "Orvane camera" : nullptr})) return false;
    }
    return true;
}

// What Sembrix does on the first OK.
double TimeDiscovery(int* matches) {
    std::memset(&modelTable, 0, sizeof modelTable);
    matchCount = 0;
    const double start = Now();
    LoadModelTable();
    ScanAttachedCameras(&matchCount);
    const double elapsed = Now() - start;
    *matches = matchCount;
    return elapsed;
}

// The floor: only the platform calls no implementation can avoid, on the same data.
double TimeFloor(int* matches) {
    *matches = 0;
    const double start = Now();
    char dir[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, dir);
    char pattern[MAX_PATH];
    std::snprintf(pattern, sizeof pattern, "%.*s\\*.inf", static_cast<int>(length), dir);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            char path[MAX_PATH];
            std::snprintf(path, sizeof path, "%.*s\\%s", static_cast<int>(length), dir, found.cFileName);
            char section[256];
            GetPrivateProfileSectionA("Models", section, sizeof section, path);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    HKEY usb;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, USB_ENUM_KEY, 0, KEY_ENUMERATE_SUB_KEYS, &usb) == ERROR_SUCCESS) {
        char name[256];
        for (DWORD index = 0;; ++index) {
            DWORD size = sizeof name;
            if (RegEnumKeyExA(usb, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            // The floor knows which keys match and their instance's name: one open and one query each.
            if (std::strncmp(name, "Vid_07e3&Pid_a", 14) != 0) continue;
            char path[256];
            std::snprintf(path, sizeof path, "%s\\%s\\1", USB_ENUM_KEY, name);
            HKEY instance;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &instance) != ERROR_SUCCESS) continue;
            char value[100];
            DWORD valueSize = sizeof value;
            if (RegQueryValueExA(instance, "FriendlyName", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                                 &valueSize) == ERROR_SUCCESS)
                ++*matches;
            RegCloseKey(instance);
        }
        RegCloseKey(usb);
    }
    return Now() - start;
}

struct StartFigure {
    double milliseconds;
    SIZE_T peakWorkingSet;
};

// From process start to the first window shown and the program idle, waiting for input.
bool TimeStart(const char* exe, const char* workDir, StartFigure& figure) {
    PROCESS_INFORMATION process = {};
    const double start = Now();
    if (!driver::Launch(exe, workDir, process)) return false;
    WaitForInputIdle(process.hProcess, 10000);
    figure.milliseconds = Now() - start;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    figure.peakWorkingSet =
        GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory) ? memory.PeakWorkingSetSize : 0;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

long FileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path, GetFileExInfoStandard, &data) ? static_cast<long>(data.nFileSizeLow) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::printf(
            "usage: discovery_bench SEMBRIX_EXE MINIMAL_DIALOG_EXE MINIMAL_DIALOG_WITH_MANIFEST_EXE "
            "DIALOG_IN_BARE_HOST_EXE\n");
        return 0;
    }
    fixtures::ToWindowsPath(argv[1], sembrixPath);
    fixtures::ToWindowsPath(argv[2], minimalPath);
    fixtures::ToWindowsPath(argv[3], minimalManifestPath);
    fixtures::ToWindowsPath(argv[4], bareHostPath);
    if (!PreparePackage()) {
        std::printf("could not write the package\n");
        return 0;
    }
    SetCurrentDirectoryA(packageFolder);

    std::printf("Sembrix benchmark (%s build, under Wine, median of %d runs)\n\n", sizeof(void*) == 4 ? "x86" : "x64",
                ROUNDS);
    std::printf("%-44s %12s %12s %8s %8s\n", "discovery: 99 INF files, N device keys", "ours ms", "floor ms", "ratio",
                "target");
    double medians[std::size(SIZES)] = {};
    double floorMedians[std::size(SIZES)] = {};
    int previous = 0;
    int row = 0;
    for (int size : SIZES) {
        if (!AddDeviceKeys(previous, size)) {
            std::printf("could not write the registry\n");
            return 0;
        }
        previous = size;
        double ours[ROUNDS];
        double floor[ROUNDS];
        int oursMatches = 0;
        int floorMatches = 0;
        TimeDiscovery(&oursMatches);  // warm the registry and file caches for both
        TimeFloor(&floorMatches);
        for (int round = 0; round < ROUNDS; ++round) {
            ours[round] = TimeDiscovery(&oursMatches);
            floor[round] = TimeFloor(&floorMatches);
        }
        const double oursMedian = Median(ours, ROUNDS);
        const double floorMedian = Median(floor, ROUNDS);
        char label[64];
        std::snprintf(label, sizeof label, "  N = %d (%d matched, floor %d)", size, oursMatches, floorMatches);
        std::printf("%-44s %12.3f %12.3f %8.2f %8s\n", label, oursMedian, floorMedian, oursMedian / floorMedian,
                    "<= 1.20");
        medians[row] = oursMedian;
        floorMedians[row++] = floorMedian;
    }
    // Linear growth: each added key costs the same from 10 to 1000 keys as from 1000 to 10000.
    std::printf("\n%-44s %12s %12s %8s %8s\n", "growth: microseconds per added key", "10..1000", "1000..10000", "ratio",
                "target");
    const double* series[] = {medians, floorMedians};
    const char* names[] = {"  ours", "  floor"};
    for (int i = 0; i < 2; ++i) {
        const double low = (series[i][1] - series[i][0]) * 1000.0 / (SIZES[1] - SIZES[0]);
        const double high = (series[i][2] - series[i][1]) * 1000.0 / (SIZES[2] - SIZES[1]);
        std::printf("%-44s %12.2f %12.2f %8.2f %8s\n", names[i], low, high, high / low, "~1");
    }

    std::printf("\n%-44s %12s %12s %8s %8s\n", "start-up: process start to idle on its screen", "ours ms", "minimal ms",
                "ratio", "target");
    SIZE_T peak = 0;
    SIZE_T minimalPeak = 0;
    // Sembrix's own template in a bare host isolates the program's own start-up work from the layout's cost.
    const char* floors[][3] = {{bareHostPath, "  vs Sembrix's dialog in a bare host", "<= 1.15"},
                               {minimalManifestPath, "  vs a minimal dialog with the same manifest", "<= 1.20"},
                               {minimalPath, "  vs a minimal dialog without a manifest", "<= 1.20"}};
    for (const auto& floorProgram : floors) {
        double oursTimes[START_ROUNDS];
        double minimalTimes[START_ROUNDS];
        for (int round = 0; round < START_ROUNDS; ++round) {
            StartFigure ours = {};
            StartFigure minimal = {};
            if (!TimeStart(sembrixPath, packageFolder, ours) || !TimeStart(floorProgram[0], packageFolder, minimal)) {
                std::printf("could not start the programs\n");
                return 0;
            }
            oursTimes[round] = ours.milliseconds;
            minimalTimes[round] = minimal.milliseconds;
            peak = std::max(peak, ours.peakWorkingSet);
            if (floorProgram[0] == minimalPath) minimalPeak = std::max(minimalPeak, minimal.peakWorkingSet);
        }
        const double oursStart = Median(oursTimes, START_ROUNDS);
        const double minimalStart = Median(minimalTimes, START_ROUNDS);
        std::printf("%-44s %12.1f %12.1f %8.2f %8s\n", floorProgram[1], oursStart, minimalStart,
                    oursStart / minimalStart, floorProgram[2]);
    }

    std::printf("\n%-44s %12s %12s\n", "size and memory", "figure", "target");
    std::printf("%-44s %12ld %12s\n", "  stripped exe (bytes)", FileSize(sembrixPath), "<= 65536");
    std::printf("%-44s %12lu %12s\n", "  peak working set at the intro (KiB)", static_cast<unsigned long>(peak / 1024),
                "-");
    std::printf("%-44s %12lu %12s\n", "  the same, minimal dialog, no manifest (KiB)",
                static_cast<unsigned long>(minimalPeak / 1024), "-");
    SetCurrentDirectoryA("C:\\");
    fixtures::RemoveFolder(packageFolder);
    return 0;
}
