// The package check on small broken packages made here: the findings it prints and its exit status.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "check.h"
#include "wine_fixtures.h"

namespace {

// Pieces of a package that the platform's installer takes; each row breaks one of them.
#define VERSION(SIGNATURE, CATALOG)                                                         \
    "[Version]\r\nSignature=\"" SIGNATURE                                                   \
    "\"\r\nClass=Image\r\n"                                                                 \
    "ClassGUID={6bdd1fc6-810f-11d0-bec7-08002be2092f}\r\nProvider=%Orvane% ; the maker\r\n" \
    "DriverVer=12/01/2026,1.0.0.7\r\n" CATALOG "\r\n"
#define GOOD_VERSION VERSION("$Windows NT$", "CatalogFile=orvane.cat")
#define MAKER(DECORATIONS) "[Manufacturer]\r\n%Orvane% = Models" DECORATIONS "\r\n"
#define MODELS(SECTION, ID) "[" SECTION "]\r\n%Camera% = CameraInstall, " ID "\r\n; the camera\r\n"
#define ID_30FE "USB\\VID_07E3&PID_30FE"
#define GOOD_MODELS MODELS("Models", ID_30FE) MODELS("Models.NTamd64", ID_30FE)
#define GOOD_INF GOOD_VERSION MAKER(",NTx86,NTamd64") GOOD_MODELS

// One package: a.inf (and b.inf) beside orvane.cat; the report must hold the finding and the counts.
struct PackageCase {
    int line;
    const char* inf;
    const char* finding;  // the start of one line of the report; nullptr for none
    int errors;
    int warnings;
    const char* secondInf = nullptr;
    bool utf16 = false;
};

const PackageCase PACKAGE_CASES[] = {
    {__LINE__, GOOD_INF, nullptr, 0, 0},
    {__LINE__, GOOD_INF, nullptr, 0, 0, nullptr, true},
    {__LINE__,
     GOOD_VERSION MAKER(",NTamd64.10.0...16299") MODELS("Models", ID_30FE)
         MODELS("Models.NTamd64.10.0...16299", "usb\\vid_07e3&pid_30fe"),
     nullptr, 0, 0},
    {__LINE__,
     GOOD_VERSION MAKER(",NTamd64") MODELS("Models", "USB\\VID_04B0&PID_30FE")
         MODELS("Models.NTamd64", "USB\\VID_04B0&PID_30FE"),
     "a.inf: error: no [Models] line lists USB\\VID_07E3&PID_30FE, the hardware id", 1, 0},
    {__LINE__,
     GOOD_VERSION MAKER(",NTamd64") MODELS("Models", ID_30FE "&MI_00") MODELS("Models.NTamd64", ID_30FE "&MI_00"),
     "a.inf: error: no [Models] line lists USB\\VID_07E3&PID_30FE", 1, 0},
    {__LINE__, GOOD_VERSION MAKER(",NTamd64") MODELS("Models", ID_30FE " ; DZ-30") MODELS("Models.NTamd64", ID_30FE),
     "a.inf: error: the first [Models] line's product part \"PID_30FE ; DZ-30\" holds more than the product", 1, 0},
    {__LINE__,
     GOOD_VERSION MAKER(",NTamd64") MODELS("Models", "USB\\VID_07E3&pid_30fe") MODELS("Models.NTamd64", ID_30FE),
     "a.inf: error: the product token pid_30fe of the first [Models] line is not in capitals", 1, 0},
    {__LINE__, GOOD_VERSION MAKER(",NTx86") MODELS("Models", ID_30FE),
     "a.inf: error: [Models.NTamd64] is missing: 64-bit Windows will find no driver for USB\\VID_07E3&PID_30FE; add "
     "it with the same lines as [Models] and name NTamd64 in [Manufacturer]",
     1, 0},
    {__LINE__, GOOD_VERSION MAKER("") GOOD_MODELS, "a.inf: error: [Manufacturer] does not name NTamd64", 1, 0},
    {__LINE__, GOOD_VERSION MAKER(",NTamd64") MODELS("Models", ID_30FE), "a.inf: error: [Models.NTamd64] is missing", 1,
     0},
    {__LINE__, GOOD_VERSION MAKER(",NTamd64") MODELS("Models", ID_30FE) MODELS("Models.NTamd64", ID_30FE ",X"),
     "a.inf: error: [Models.NTamd64] differs from [Models]", 1, 0},
    {__LINE__, GOOD_VERSION "[Manufacturer]\r\n%Orvane%=Orvane,NTamd64\r\n" GOOD_MODELS,
     "a.inf: error: [Manufacturer] does not name the Models section", 1, 0},
    {__LINE__,
     VERSION("$Chicago$", "CatalogFile=orvane.cat\r\nCatalogFile.NTamd64=b.cat") MAKER(",NTamd64") GOOD_MODELS,
     "a.inf: error: [Version] CatalogFile.NTamd64 names b.cat, which is not in the package", 1, 0},
    {__LINE__, "[Version]\r\nSignature=$Windows 95$\r\n" MAKER(",NTamd64") GOOD_MODELS,
     "a.inf: error: [Version] Signature is \"$Windows 95$\"", 4, 2},  // and no Class, ClassGuid, DriverVer
    {__LINE__, VERSION("$Windows NT$", "") MAKER(",NTamd64") GOOD_MODELS,
     "a.inf: warning: [Version] names no CatalogFile", 0, 1},
    {__LINE__, GOOD_INF, "b.inf: warning: gives the product token PID_30FE, as a.inf does", 0, 1, GOOD_INF},
    {__LINE__, GOOD_VERSION MAKER(",NTamd64") MODELS("Models.NTamd64", ID_30FE),
     "a.inf: error: [Models] is missing or empty", 2, 0},  // and the decorated line [Models] lacks
};

char reportPath[MAX_PATH];
char report[65536];

// Runs the check in folder; report holds what it printed, the result is its exit status.
int RunCheck(const char* folder) {
    char previous[MAX_PATH];
    report[0] = '\0';
    if (!GetCurrentDirectoryA(MAX_PATH, previous) || !SetCurrentDirectoryA(folder)) return 99;
    FILE* output = _popen(reportPath, "rb");
    if (output) report[std::fread(report, 1, sizeof report - 1, output)] = '\0';
    const int status = output ? _pclose(output) : 99;
    SetCurrentDirectoryA(previous);  // so that the folder can go
    return status;
}

// True when a line of the report starts with text.
bool ReportHasLine(const char* text) {
    for (const char* line = report; line; line = std::strchr(line, '\n')) {
        line += *line == '\n';
        if (std::strncmp(line, text, std::strlen(text)) == 0) return true;
    }
    return false;
}

// Writes the first file as UTF-16 with its byte-order mark, as the platform's tools save INF files.
bool WriteUtf16(const char* folder, const fixtures::InfFile& file) {
    wchar_t wide[4096];
    wide[0] = 0xFEFF;
    const int length = MultiByteToWideChar(CP_ACP, 0, file.text, -1, wide + 1, 4095);
    return length > 0 &&
           fixtures::WriteFileBytes(folder, file.fileName, wide, static_cast<std::size_t>(length) * sizeof(wchar_t));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: package_check_test PACKAGE_REPORT_EXE SAMPLE_FOLDER\n");
        return 2;
    }
    fixtures::ToWindowsPath(argv[1], reportPath);
    for (const PackageCase& c : PACKAGE_CASES) {
        check::currentCase = c.finding ? c.finding : "sound";
        char folder[MAX_PATH];
        if (!fixtures::MakeTempFolder("package-check", folder)) return 1;
        fixtures::WriteInf(folder, {"orvane.cat", "signed"});
        (c.utf16 ? WriteUtf16 : fixtures::WriteInf)(folder, {"a.inf", c.inf});
        if (c.secondInf) fixtures::WriteInf(folder, {"b.inf", c.secondInf});
        const int failedBefore = check::failed;
        CHECK_NUMBER_AT(c.line, RunCheck(folder), c.errors ? 1 : 0);
        if (c.finding) CHECK_AT(c.line, ReportHasLine(c.finding));
        char summary[64];
        std::snprintf(summary, sizeof summary, "%d files, %d errors, %d warnings", c.secondInf ? 2 : 1, c.errors,
                      c.warnings);
        CHECK_AT(c.line, ReportHasLine(summary));
        if (check::failed > failedBefore) std::printf("%s", report);
        fixtures::RemoveFolder(folder);
    }
    check::currentCase = "no INF file";
    char folder[MAX_PATH];
    if (!fixtures::MakeTempFolder("package-check", folder)) return 1;
    CHECK_NUMBER(RunCheck(folder), 2);
    CHECK(std::strstr(report, " holds no .inf file\n") != nullptr);
    fixtures::RemoveFolder(folder);
    check::currentCase = "the sample package";
    char sample[MAX_PATH];
    fixtures::ToWindowsPath(argv[2], sample);
    CHECK_NUMBER(RunCheck(sample), 0);
    CHECK(ReportHasLine("3 files, 0 errors, 3 warnings"));
    return check::Summary();
}
