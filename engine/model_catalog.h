// Builds the model table from the INF files of the current directory.
#pragma once

#include "model_table.h"

// What one INF file of the package gave the table.
enum class InfOutcome { Row, PathTooLong, NoModelsSection, NoToken, TokenTooLong, TableFull };

// Told of each INF file as the table is built: its name, the outcome and the row it filled (or nullptr).
using InfReport = void (*)(const char* fileName, InfOutcome outcome, const ModelEntry* row);

// Fills modelTable, one row per INF file whose first [Models] line names a product token. With a
// report, the files past the table's last usable row are told of too.
void LoadModelTable(InfReport report = nullptr);
