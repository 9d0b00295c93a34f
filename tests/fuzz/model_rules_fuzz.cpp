// libFuzzer target: an INF's first model line and a device key name, both hostile, through the
// tokenizer, the vendor marker, bounded composition and every table lookup; the same bytes as INF
// sections through the package check's line rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "inf_rules.h"
#include "model_rules.h"

using namespace model_rules;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// A copied token fits its buffer, carries no separator and equals what the tokenizer saw.
void CheckCopiedToken(std::string_view text, char* token, std::size_t size) {
    const bool copied = CopySecondAmpersandToken(text, token, size);
    const std::string_view seen = SecondAmpersandToken(text);
    Require(seen.find('&') == std::string_view::npos);
    if (copied) {
        // Platform strings end at their first NUL; the copy does too when read back.
        Require(TextInField(token, size) == seen.substr(0, seen.find('\0')));
        Require(!seen.empty() && seen.size() < size);
    } else {
        Require(token[0] == '\0');
        Require(seen.empty() || seen.size() >= size || seen.find('\0') != std::string_view::npos);
    }
}

ModelTable table;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\n');
    const std::string_view infLine = input.substr(0, split);
    const std::string_view keyName = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    // Rows from the INF line, as the catalogue builds them; a name on every other row.
    std::memset(&table, 0, sizeof table);
    const int rows = size > 0 ? data[0] % MODEL_TABLE_CAPACITY : 0;
    for (int row = 0; row < rows; ++row) {
        CheckCopiedToken(infLine.substr(static_cast<std::size_t>(row) % (infLine.size() + 1)),
                         table.rows[row].productToken, PRODUCT_TOKEN_SIZE);
        if (row % 2) ComposeText(table.rows[row].friendlyName, FRIENDLY_NAME_SIZE, keyName, "#", infLine);
    }
    const int count = CountModelRows(table);
    Require(count >= 0 && count <= MODEL_TABLE_CAPACITY);

    // The device side, as discovery takes it apart.
    (void)HasVendorMarker(keyName);
    char deviceToken[DEVICE_TOKEN_SIZE];
    CheckCopiedToken(keyName, deviceToken, sizeof deviceToken);
    const int byToken = FindRowByToken(table, TextInField(deviceToken, sizeof deviceToken));
    Require(byToken == NO_ROW || (byToken < count && std::strcmp(table.rows[byToken].productToken, deviceToken) == 0));

    char path[128];
    if (ComposeText(path, sizeof path, "SYSTEM\\CurrentControlSet\\Enum\\USB", "\\", keyName))
        Require(std::strlen(path) < sizeof path);
    char hardwareId[HARDWARE_ID_SIZE];
    if (ComposeText(hardwareId, sizeof hardwareId, HARDWARE_ID_PREFIX, infLine))
        Require(std::strlen(hardwareId) < sizeof hardwareId);

    // The input as two sections that the platform cut short: never read past either.
    const char* sections = reinterpret_cast<const char*>(data);
    const std::string_view missing = inf_rules::FirstLineMissingFrom(sections, size, sections, size / 2);
    Require(missing.empty() || (missing.data() >= sections && missing.data() + missing.size() <= sections + size));
    (void)inf_rules::ListsHardwareId(infLine, keyName);
    (void)inf_rules::IsWellFormedDriverVer(infLine);

    const int matchCount = size > 1 ? data[1] % 4 : 0;
    const int target = ChooseTargetRow(table, matchCount, keyName);
    Require(target == NO_ROW || (target < count && table.rows[target].friendlyName[0] != '\0'));
    return 0;
}
