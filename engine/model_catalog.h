// Builds the model table from the INF files of the current directory.
#pragma once

#include "model_table.h"

// Fills modelTable, one row per INF file whose first [Models] line names a product token.
void LoadModelTable();
