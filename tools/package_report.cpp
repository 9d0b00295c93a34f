// Tells a camera maker what Sembrix makes of the driver package in the current directory: the product
// token of each INF file, then every mistake that would leave a camera's owner with the failure screen.
// It reads the package with the wizard's own catalogue code, so the two cannot disagree.
// Exit status: 0 without errors, 1 with errors, 2 when the folder holds no INF file.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iterator>

#include "model_catalog.h"
#include "model_rules.h"
#include "package_check.h"

namespace {

// Enough for any package a maker ships; files past it are counted, not checked.
constexpr int CHECKED_FILES_CAPACITY = 256;

PackageFile packageFiles[CHECKED_FILES_CAPACITY];
int checkedFileCount = 0;
int fileCount = 0;

// Why a file gives no row, in the maker's terms.
const char* DescribeOutcome(InfOutcome outcome) {
    switch (outcome) {
    case InfOutcome::Row: break;
    case InfOutcome::PathTooLong: return "its full path is longer than 259 characters";
    case InfOutcome::NoModelsSection: return "no [Models] section, or an empty one";
    case InfOutcome::NoToken: return "the first [Models] line has no second token (nothing after its first '&')";
    case InfOutcome::TokenTooLong: return "the product token is longer than 19 bytes";
    case InfOutcome::TableFull: return "more INF files than the table's 99 rows";
    }
    return "";
}

// Prints a file's token line and keeps the file for its checks.
void RecordOutcome(const char* fileName, InfOutcome outcome, const ModelEntry* row) {
    if (fileCount++ == 0) std::printf("what Sembrix makes of each INF file (the product token of its row):\n");
    if (row)
        std::printf("  %-28s %s\n", fileName, row->productToken);
    else
        std::printf("  %-28s no row: %s\n", fileName, DescribeOutcome(outcome));
    if (checkedFileCount == CHECKED_FILES_CAPACITY) return;
    PackageFile& file = packageFiles[checkedFileCount++];
    model_rules::ComposeText(file.name, std::size(file.name), fileName, {});
    file.outcome = outcome;
    file.row = row ? static_cast<int>(row - modelTable.rows) : model_rules::NO_ROW;
}

}  // namespace

int main() {
    // Lines end in LF alone, as editors and CI logs read compilers' findings.
    _setmode(_fileno(stdout), _O_BINARY);
    char dir[INF_PATH_SIZE] = {};
    const DWORD length = GetCurrentDirectoryA(INF_PATH_SIZE - 1, dir);
    if (length == 0 || length + 1 >= INF_PATH_SIZE) {
        std::printf("package_report: the current folder's path is too long\n");
        return 2;
    }
    dir[length] = '\\';
    LoadModelTable(RecordOutcome);
    if (fileCount == 0) {
        std::printf("package_report: %.*s holds no .inf file\n", static_cast<int>(length), dir);
        return 2;
    }
    for (int i = 0; i < checkedFileCount; ++i) CheckPackageFile(dir, packageFiles[i]);
    if (fileCount > checkedFileCount)
        std::printf("package_report: warning: %d INF files past the first %d were not checked\n",
                    fileCount - checkedFileCount, CHECKED_FILES_CAPACITY);
    std::printf("%d files, %d errors, %d warnings\n", fileCount, findingCounts.errors,
                findingCounts.warnings + (fileCount > checkedFileCount));
    return findingCounts.errors ? 1 : 0;
}
