// Finds the maker's cameras among the Plug and Play records and names their model rows.
#pragma once

// How many of the maker's devices matched a row; counted once per run by ScanAttachedCameras.
extern int matchCount;

// Writes the friendly name of each matched camera into its row and counts the matches.
void ScanAttachedCameras(int* matches);
