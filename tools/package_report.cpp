// Tells a camera maker what Sembrix makes of each INF file of the driver package in the current
// directory: the product token of its row, or why it gives none. It reads the package with the
// wizard's own catalogue code, so the two cannot disagree.
#include <windows.h>

#include <cstdio>

#include "model_catalog.h"

namespace {

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

void PrintOutcome(const char* fileName, InfOutcome outcome, const ModelEntry* row) {
    if (row)
        std::printf("  %-28s %s\n", fileName, row->productToken);
    else
        std::printf("  %-28s no row: %s\n", fileName, DescribeOutcome(outcome));
}

}  // namespace

int main() {
    std::printf("what Sembrix makes of each INF file (the product token of its row):\n");
    LoadModelTable(PrintOutcome);
    return 0;
}
