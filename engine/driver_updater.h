// Picks the camera to update and has the platform's installer install its INF.
#pragma once

#include <string_view>

#include "model_table.h"

// The row to update, or nullptr: the first named row for one match, the row named selectedName for more.
ModelEntry* SelectTarget(int matchCount, std::string_view selectedName);

// Installs the target's INF for its hardware id, forced; true when the platform's installer succeeded.
bool UpdateDriver(const ModelEntry* target);
