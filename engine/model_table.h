// The catalogue of supported cameras: one row per INF file of the driver package.
#pragma once

#include <cstddef>

constexpr int MODEL_TABLE_CAPACITY = 100;
// Texts are in the ANSI code page, UTF-8 where the manifest asks for it: up to 3 bytes a character.
constexpr std::size_t INF_PATH_SIZE = 780;  // MAX_PATH characters
constexpr std::size_t PRODUCT_TOKEN_SIZE = 20;
constexpr std::size_t FRIENDLY_NAME_SIZE = 300;

struct ModelEntry {
    char infPath[INF_PATH_SIZE];
    char productToken[PRODUCT_TOKEN_SIZE];
    char friendlyName[FRIENDLY_NAME_SIZE];
};

// Rows fill from 0 without gaps; the first row with an empty productToken ends the table.
struct ModelTable {
    ModelEntry rows[MODEL_TABLE_CAPACITY];
};

extern ModelTable modelTable;
