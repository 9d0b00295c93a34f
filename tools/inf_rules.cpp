#include "inf_rules.h"

#include <algorithm>
#include <cstring>

namespace inf_rules {

namespace {

constexpr std::string_view BLANKS = " \t\r\n";
constexpr std::string_view AMD64_DECORATION = "NTamd64";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(BLANKS);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(BLANKS) - first + 1);
}

// Position of the first separator outside double quotes, or npos.
std::size_t FindOutsideQuotes(std::string_view text, char separator) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (text[i] == separator && !quoted) return i;
    }
    return std::string_view::npos;
}

bool IsDigits(std::string_view text, std::size_t minimum, std::size_t maximum) {
    return text.size() >= minimum && text.size() <= maximum &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Splits text at the first separator: the part before it is returned, text keeps the rest.
std::string_view TakeUntil(std::string_view& text, char separator) {
    const std::size_t at = text.find(separator);
    const std::string_view part = text.substr(0, at);
    text = at == std::string_view::npos ? std::string_view() : text.substr(at + 1);
    return part;
}

int FieldCount(std::string_view value) {
    int count = 1;
    for (std::size_t comma = FindOutsideQuotes(value, ','); comma != std::string_view::npos;
         comma = FindOutsideQuotes(value, ',')) {
        value = value.substr(comma + 1);
        ++count;
    }
    return count;
}

bool SameLine(std::string_view a, std::string_view b) {
    const InfLine left = SplitLine(a);
    const InfLine right = SplitLine(b);
    const int fields = FieldCount(left.value);
    if (!SameText(left.key, right.key) || fields != FieldCount(right.value)) return false;
    for (int index = 0; index < fields; ++index)
        if (!SameText(Field(left.value, index), Field(right.value, index))) return false;
    return true;
}

bool SectionHasLine(const char* section, std::size_t size, std::string_view line) {
    std::size_t offset = 0;
    for (std::string_view other = NextSectionLine(section, size, offset); !other.empty();
         other = NextSectionLine(section, size, offset))
        if (SameLine(line, other)) return true;
    return false;
}

}  // namespace

std::string_view CleanValue(std::string_view value) {
    std::string_view text = Trim(value.substr(0, FindOutsideQuotes(value, ';')));
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

InfLine SplitLine(std::string_view line) {
    const std::size_t equals = FindOutsideQuotes(line, '=');
    if (equals == std::string_view::npos) return {{}, CleanValue(line)};
    return {CleanValue(line.substr(0, equals)), CleanValue(line.substr(equals + 1))};
}

std::string_view Field(std::string_view value, int index) {
    for (int i = 0; i < index; ++i) {
        const std::size_t comma = FindOutsideQuotes(value, ',');
        if (comma == std::string_view::npos) return {};
        value = value.substr(comma + 1);
    }
    return CleanValue(value.substr(0, FindOutsideQuotes(value, ',')));
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool ListsHardwareId(std::string_view value, std::string_view id) {
    const int fields = FieldCount(value);
    for (int index = 1; index < fields; ++index)
        if (SameText(Field(value, index), id)) return true;
    return false;
}

bool IsAmd64Decoration(std::string_view decoration) {
    if (decoration.size() < AMD64_DECORATION.size()) return false;
    return SameText(decoration.substr(0, AMD64_DECORATION.size()), AMD64_DECORATION) &&
           (decoration.size() == AMD64_DECORATION.size() || decoration[AMD64_DECORATION.size()] == '.');
}

bool IsKnownSignature(std::string_view signature) {
    return SameText(signature, "$Windows NT$") || SameText(signature, "$Chicago$");
}

bool IsWellFormedDriverVer(std::string_view driverVer) {
    std::string_view version = driverVer;
    std::string_view date = TakeUntil(version, ',');
    const std::string_view month = TakeUntil(date, '/');
    const std::string_view day = TakeUntil(date, '/');
    if (!IsDigits(Trim(month), 1, 2) || !IsDigits(Trim(day), 1, 2) || !IsDigits(Trim(date), 4, 4)) return false;
    if (driverVer.find(',') == std::string_view::npos) return true;
    // One to four numbers: w, w.x, w.x.y or w.x.y.z.
    version = Trim(version);
    for (int part = 0; part < 4; ++part) {
        if (!IsDigits(TakeUntil(version, '.'), 1, 5)) return false;
        if (version.empty()) return true;
    }
    return false;
}

bool HasLowerCase(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

std::string_view NextSectionLine(const char* section, std::size_t size, std::size_t& offset) {
    if (offset >= size) return {};
    const void* end = std::memchr(section + offset, '\0', size - offset);
    const std::size_t length =
        end ? static_cast<std::size_t>(static_cast<const char*>(end) - section) - offset : size - offset;
    const std::string_view line(section + offset, length);
    offset += length + 1;
    return line;
}

std::string_view FirstLineMissingFrom(const char* section, std::size_t size, const char* other, std::size_t otherSize) {
    std::size_t offset = 0;
    for (std::string_view line = NextSectionLine(section, size, offset); !line.empty();
         line = NextSectionLine(section, size, offset))
        if (!SectionHasLine(other, otherSize, line)) return line;
    return {};
}

}  // namespace inf_rules
