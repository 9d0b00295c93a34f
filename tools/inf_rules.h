// Platform-free reading of INF lines as the platform's installer reads them, for the package check.
#pragma once

#include <cstddef>
#include <string_view>

namespace inf_rules {

// One section line: the text before its first '=' (empty when it has none) and the text after it.
struct InfLine {
    std::string_view key;
    std::string_view value;
};

// Splits a section line, as the profile calls give it, at its first '=' outside quotes; both halves cleaned.
InfLine SplitLine(std::string_view line);

// A value as the installer reads it: up to a ';' outside quotes, trimmed, one pair of outer quotes removed.
std::string_view CleanValue(std::string_view value);

// The index-th comma-separated field of a value, cleaned; empty past the last.
std::string_view Field(std::string_view value, int index);

// Equality of ASCII texts in any letter case, as INF names and hardware ids compare.
bool SameText(std::string_view a, std::string_view b);

// True when a model line's value (install section, hardware id, compatible ids) lists id after its first field.
bool ListsHardwareId(std::string_view value, std::string_view id);

// True for the x64 TargetOSVersion decoration: NTamd64 alone or followed by a version ("NTamd64.10.0...16299").
bool IsAmd64Decoration(std::string_view decoration);

// True for the two [Version] signatures the installer accepts.
bool IsKnownSignature(std::string_view signature);

// True for a DriverVer in the form mm/dd/yyyy or mm/dd/yyyy,w.x.y.z.
bool IsWellFormedDriverVer(std::string_view driverVer);

// True when text holds a lower-case ASCII letter.
bool HasLowerCase(std::string_view text);

// The lines of a section as the profile calls fill a buffer: NUL-separated, ending at an empty line.
// Gives the line at offset and moves offset past it; empty at the end or at the buffer's end.
std::string_view NextSectionLine(const char* section, std::size_t size, std::size_t& offset);

// The first line of one section that the other lacks (same key and fields in any letter case); empty if none.
std::string_view FirstLineMissingFrom(const char* section, std::size_t size, const char* other, std::size_t otherSize);

}  // namespace inf_rules
