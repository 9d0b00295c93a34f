// Picks the camera to update and has the platform's installer install its INF.
#pragma once

#include <windows.h>

#include "model_table.h"

// The row to update, or nullptr when there is none.
ModelEntry* SelectTarget(HWND dialog, int matchCount);

// Installs the target's INF for its hardware id, forced, and shows the result screen.
void UpdateDriver(HWND dialog, const ModelEntry* target);
