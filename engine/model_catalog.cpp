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
constexpr DWORD SECTION_BUFFER_SIZE = 256;
// The last row stays free so that every walk finds an empty productToken.
constexpr int USABLE_ROWS = MODEL_TABLE_CAPACITY - 1;

// Fills one row from one INF file; false when the file names no usable token.
bool ReadModelRow(const char* dir, const char* fileName, ModelEntry& entry) {
    if (!model_rules::ComposeText(entry.infPath, std::size(entry.infPath), dir, fileName)) return false;

    char section[SECTION_BUFFER_SIZE] = {};
    // Only the first line counts; the platform separates lines with NUL bytes.
    GetPrivateProfileSectionA(MODELS_SECTION, section, SECTION_BUFFER_SIZE, entry.infPath);
    const std::string_view firstLine = model_rules::TextInField(section, std::size(section));
    if (!model_rules::CopySecondAmpersandToken(firstLine, entry.productToken, std::size(entry.productToken))) {
        std::memset(&entry, 0, sizeof entry);
        return false;
    }
    return true;
}

}  // namespace

void LoadModelTable() {
    char dir[MAX_PATH] = {};
    DWORD length = GetCurrentDirectoryA(MAX_PATH, dir);
    if (length == 0 || length + 1 >= MAX_PATH) return;
    dir[length] = '\\';
    dir[length + 1] = '\0';

    char pattern[MAX_PATH];
    if (!model_rules::ComposeText(pattern, std::size(pattern), dir, INF_PATTERN)) return;

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;

    int row = 0;
    do {
        if (ReadModelRow(dir, found.cFileName, modelTable.rows[row])) ++row;
    } while (row < USABLE_ROWS && FindNextFileA(search, &found));
    FindClose(search);
}
