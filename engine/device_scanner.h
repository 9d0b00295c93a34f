// Finds the maker's cameras among the Plug and Play records and names their model rows.
#pragma once

// Writes the friendly name of each matched camera into its row and counts the matches.
void ScanAttachedCameras(int* matchCount);
