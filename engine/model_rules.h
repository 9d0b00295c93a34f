// Platform-free rules of the engine: tokens, vendor marker, row lookups, target choice.
#pragma once

#include <cstddef>
#include <string_view>

#include "model_table.h"

namespace model_rules {

constexpr std::string_view VENDOR_KEY_MARKER = "Vid_07e3";
constexpr std::string_view HARDWARE_ID_PREFIX = "USB\\VID_07E3&";
constexpr std::size_t DEVICE_TOKEN_SIZE = 12;
constexpr std::size_t DEVICE_TOKEN_UPPERCASED = 10;
constexpr std::size_t HARDWARE_ID_SIZE = 52;
constexpr int NO_ROW = -1;

// The NUL-terminated text at the start of a fixed-size field, never read past the field.
std::string_view TextInField(const char* field, std::size_t size);

// The second '&'-separated token, with strtok's rules (leading and repeated '&' collapse).
std::string_view SecondAmpersandToken(std::string_view text);

// Copies the second token into out; false when there is none or it does not fit with its NUL.
bool CopySecondAmpersandToken(std::string_view text, char* out, std::size_t outSize);

// True when a file's own name ends in ".inf", in any letter case. A "*.inf" search also yields names
// such as "x.inf_old" through their 8.3 short names: those are not part of the package.
bool IsInfFileName(std::string_view fileName);

// True when the device key name carries the maker's vendor marker, in any ASCII letter case.
bool HasVendorMarker(std::string_view keyName);

// Writes the concatenation of the parts into out; false (and out emptied) when it does not fit.
bool ComposeText(char* out, std::size_t outSize, std::string_view first, std::string_view second,
                 std::string_view third = {});

// Number of rows before the first row with an empty productToken.
int CountModelRows(const ModelTable& table);

// First row whose productToken equals token byte for byte, or NO_ROW.
int FindRowByToken(const ModelTable& table, std::string_view token);

// First row whose friendlyName equals name byte for byte, or NO_ROW.
int FindRowByName(const ModelTable& table, std::string_view name);

// First row that carries a friendly name, or NO_ROW.
int FindFirstNamedRow(const ModelTable& table);

// The row to update: the first named row for one match, the row named like the selection for more.
int ChooseTargetRow(const ModelTable& table, int matchCount, std::string_view selectedName);

}  // namespace model_rules
