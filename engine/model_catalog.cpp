#include "model_catalog.h"

#include <windows.h>

#include <cstring>
#include <iterator>
#include <string_view>

#include "model_rules.h"

ModelTable modelTable;

namespace {

constexpr char INF_PATTERN[] = "*.inf";
constexpr char MODELS_SECTION[] = "Models";
constexpr DWORD SECTION_BUFFER_SIZE = 768;
// The directory and the search pattern take a full path, as infPath does.
constexpr DWORD PATH_BUFFER_SIZE = INF_PATH_SIZE;
// The last row stays free so that every walk finds an empty productToken.
constexpr int USABLE_ROWS = MODEL_TABLE_CAPACITY - 1;

// The platform's file calls take MAX_PATH characters with the NUL, whatever their bytes in the code page.
bool FitsPlatformPath(const char* path) { return MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0) <= MAX_PATH; }

// Fills one row from one INF file; on any outcome but Row the row stays empty.
InfOutcome ReadModelRow(const char* dir, const char* fileName, ModelEntry& entry) {
    if (!model_rules::ComposeText(entry.infPath, std::size(entry.infPath), dir, fileName) ||
        !FitsPlatformPath(entry.infPath)) {
        std::memset(&entry, 0, sizeof entry);
        return InfOutcome::PathTooLong;
    }

    char section[SECTION_BUFFER_SIZE] = {};
    // Only the first line counts; the platform separates lines with NUL bytes.
    const DWORD length = GetPrivateProfileSectionA(MODELS_SECTION, section, SECTION_BUFFER_SIZE, entry.infPath);
    const std::string_view firstLine = model_rules::TextInField(section, std::size(section));
    InfOutcome outcome = InfOutcome::Row;
    if (length == 0)
        outcome = InfOutcome::NoModelsSection;
    else if (model_rules::SecondAmpersandToken(firstLine).empty())
        outcome = InfOutcome::NoToken;
    else if (!model_rules::CopySecondAmpersandToken(firstLine, entry.productToken, std::size(entry.productToken)))
        outcome = InfOutcome::TokenTooLong;
    if (outcome != InfOutcome::Row) std::memset(&entry, 0, sizeof entry);
    return outcome;
}

}  // namespace

void LoadModelTable(InfReport report) {
    char dir[PATH_BUFFER_SIZE] = {};
    // Too small a buffer gets the size needed and nothing written: that counts as no package.
    DWORD length = GetCurrentDirectoryA(PATH_BUFFER_SIZE, dir);
    if (length == 0 || length + 1 >= PATH_BUFFER_SIZE) return;
    dir[length] = '\\';
    dir[length + 1] = '\0';

    char pattern[PATH_BUFFER_SIZE];
    if (!model_rules::ComposeText(pattern, std::size(pattern), dir, INF_PATTERN)) return;

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;

    int row = 0;
    do {
        if (!model_rules::IsInfFileName(found.cFileName)) continue;
        const InfOutcome outcome =
            row < USABLE_ROWS ? ReadModelRow(dir, found.cFileName, modelTable.rows[row]) : InfOutcome::TableFull;
        if (report) report(found.cFileName, outcome, outcome == InfOutcome::Row ? &modelTable.rows[row] : nullptr);
        if (outcome == InfOutcome::Row) ++row;
    } while ((row < USABLE_ROWS || report) && FindNextFileA(search, &found));
    FindClose(search);
}
