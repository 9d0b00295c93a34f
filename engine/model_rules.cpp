#include "model_rules.h"

#include <cstring>
#include <iterator>

namespace model_rules {

namespace {

constexpr char SEPARATOR = '&';

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string_view TextInField(const char* field, std::size_t size) {
    const void* end = std::memchr(field, '\0', size);
    std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : size;
    return std::string_view(field, length);
}

std::string_view SecondAmpersandToken(std::string_view text) {
    std::size_t position = text.find_first_not_of(SEPARATOR);
    if (position == std::string_view::npos) return {};
    position = text.find(SEPARATOR, position);
    if (position == std::string_view::npos) return {};
    position = text.find_first_not_of(SEPARATOR, position);
    if (position == std::string_view::npos) return {};
    std::size_t end = text.find(SEPARATOR, position);
    return text.substr(position, end == std::string_view::npos ? std::string_view::npos : end - position);
}

bool CopySecondAmpersandToken(std::string_view text, char* out, std::size_t outSize) {
    return ComposeText(out, outSize, SecondAmpersandToken(text), {}) && out[0] != '\0';
}

bool IsInfFileName(std::string_view fileName) {
    constexpr std::string_view INF_EXTENSION = ".inf";
    if (fileName.size() < INF_EXTENSION.size()) return false;
    // Indexed, not substr(): that one may throw, which links the C++ runtime's exception code in.
    const std::size_t start = fileName.size() - INF_EXTENSION.size();
    for (std::size_t i = 0; i < INF_EXTENSION.size(); ++i)
        if (LowerAscii(fileName[start + i]) != INF_EXTENSION[i]) return false;
    return true;
}

bool HasVendorMarker(std::string_view keyName) {
    for (std::size_t start = 0; start + VENDOR_KEY_MARKER.size() <= keyName.size(); ++start) {
        std::size_t matched = 0;
        while (matched < VENDOR_KEY_MARKER.size() &&
               LowerAscii(keyName[start + matched]) == LowerAscii(VENDOR_KEY_MARKER[matched]))
            ++matched;
        if (matched == VENDOR_KEY_MARKER.size()) return true;
    }
    return false;
}

bool ComposeText(char* out, std::size_t outSize, std::string_view first, std::string_view second,
                 std::string_view third) {
    if (outSize == 0) return false;
    out[0] = '\0';
    const std::string_view parts[] = {first, second, third};
    if (first.size() + second.size() + third.size() >= outSize) return false;
    std::size_t length = 0;
    for (std::string_view part : parts) {
        if (!part.empty()) std::memcpy(out + length, part.data(), part.size());
        length += part.size();
    }
    out[length] = '\0';
    return true;
}

int CountModelRows(const ModelTable& table) {
    int count = 0;
    while (count < MODEL_TABLE_CAPACITY && table.rows[count].productToken[0] != '\0') ++count;
    return count;
}

int FindRowByToken(const ModelTable& table, std::string_view token) {
    const int rows = CountModelRows(table);
    for (int row = 0; row < rows; ++row) {
        const ModelEntry& entry = table.rows[row];
        if (TextInField(entry.productToken, std::size(entry.productToken)) == token) return row;
    }
    return NO_ROW;
}

int FindRowByName(const ModelTable& table, std::string_view name) {
    if (name.empty()) return NO_ROW;
    const int rows = CountModelRows(table);
    for (int row = 0; row < rows; ++row) {
        const ModelEntry& entry = table.rows[row];
        if (TextInField(entry.friendlyName, std::size(entry.friendlyName)) == name) return row;
    }
    return NO_ROW;
}

int FindFirstNamedRow(const ModelTable& table) {
    const int rows = CountModelRows(table);
    for (int row = 0; row < rows; ++row)
        if (table.rows[row].friendlyName[0] != '\0') return row;
    return NO_ROW;
}

int ChooseTargetRow(const ModelTable& table, int matchCount, std::string_view selectedName) {
    if (matchCount >= 2) return FindRowByName(table, selectedName);
    if (matchCount == 1) return FindFirstNamedRow(table);
    return NO_ROW;
}

}  // namespace model_rules
