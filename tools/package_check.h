// Checks each INF file of a driver package for what would leave a camera's owner with the failure
// screen, and prints every finding as compilers print theirs: FILE: error: what is wrong; what to write.
#pragma once

#include "model_catalog.h"

constexpr int PACKAGE_FILE_NAME_SIZE = 260;  // a found file's name, as the platform gives it

// One INF file of the package as the catalogue met it.
struct PackageFile {
    char name[PACKAGE_FILE_NAME_SIZE];
    InfOutcome outcome;
    int row;  // its row of modelTable, or model_rules::NO_ROW
};

struct FindingCounts {
    int errors;
    int warnings;
};

extern FindingCounts findingCounts;

// Prints the findings of one file of the package in folder dir (which ends in '\'), after modelTable is built.
void CheckPackageFile(const char* dir, const PackageFile& package);
