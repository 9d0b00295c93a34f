#include "package_check.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string_view>

#include "inf_rules.h"
#include "model_rules.h"

FindingCounts findingCounts;

namespace {

// Model sections of large packages run to thousands of lines; a longer one is checked in part and said so.
constexpr DWORD SECTION_SIZE = 65536;
constexpr std::size_t SECTION_NAME_SIZE = 256;
constexpr std::string_view MODELS = "Models";
constexpr std::string_view CATALOG_KEY = "CatalogFile";

char versionSection[SECTION_SIZE];
char manufacturerSection[SECTION_SIZE];
char modelsSection[SECTION_SIZE];
char decoratedSection[SECTION_SIZE];

// What one file is checked with: its path and the hardware id the wizard would ask the installer for.
struct CheckedFile {
    const char* name;
    char path[INF_PATH_SIZE];
    char hardwareId[model_rules::HARDWARE_ID_SIZE];
};

// Prints one finding on a line of its own, after the file's name and its severity.
template <typename... Arguments>
void PrintFinding(const char* fileName, const char* severity, const char* format, Arguments... arguments) {
    std::printf("%s: %s: ", fileName, severity);
    std::printf(format, arguments...);
    std::printf("\n");
}

// A mistake that leaves the owner with the failure screen.
template <typename... Arguments>
void Error(const CheckedFile& file, const char* format, Arguments... arguments) {
    PrintFinding(file.name, "error", format, arguments...);
    ++findingCounts.errors;
}

// A flaw a driver reviewer would flag that does not stop the update.
template <typename... Arguments>
void Warning(const CheckedFile& file, const char* format, Arguments... arguments) {
    PrintFinding(file.name, "warning", format, arguments...);
    ++findingCounts.warnings;
}

// Reads a section through the profile calls, as the catalogue does; a section cut short is said so.
std::size_t ReadSection(const CheckedFile& file, const char* name, char* buffer, DWORD size) {
    const DWORD length = GetPrivateProfileSectionA(name, buffer, size, file.path);
    if (length == size - 2)
        Warning(file, "[%s] is longer than %lu bytes: only its first part was checked; split it over more INF files",
                name, size);
    return length;
}

// The cleaned value of a key of a section read into buffer; empty when the key is absent.
std::string_view ValueOf(const char* section, std::size_t size, std::string_view key) {
    std::size_t offset = 0;
    for (std::string_view line = inf_rules::NextSectionLine(section, size, offset); !line.empty();
         line = inf_rules::NextSectionLine(section, size, offset)) {
        const inf_rules::InfLine parts = inf_rules::SplitLine(line);
        if (inf_rules::SameText(parts.key, key)) return parts.value;
    }
    return {};
}

// The catalogue's verdict on the file, for the files that give the wizard no row.
void CheckCatalogueOutcome(const CheckedFile& file, InfOutcome outcome) {
    switch (outcome) {
    case InfOutcome::Row: break;
    case InfOutcome::PathTooLong:
        Error(file,
              "its full path is longer than 259 characters: Sembrix skips it, so its camera is never found; "
              "shorten the file name or the package's folder names");
        break;
    case InfOutcome::NoModelsSection:
        Error(file,
              "[Models] is missing or empty: Sembrix finds the camera by the first [Models] line; "
              "add [Models] with a line that ends in USB\\VID_07E3&PID_xxxx");
        break;
    case InfOutcome::NoToken:
        Error(file,
              "the first [Models] line has nothing after a '&': Sembrix reads the camera's product (PID_xxxx) "
              "there; make it end in USB\\VID_07E3&PID_xxxx");
        break;
    case InfOutcome::TokenTooLong:
        Error(file,
              "the product token of the first [Models] line is longer than 19 bytes: Sembrix skips the file; "
              "end the line in USB\\VID_07E3&PID_xxxx");
        break;
    case InfOutcome::TableFull:
        Error(file,
              "the package holds more INF files than Sembrix's 99 rows: this one is never read; "
              "ship at most 99 INF files in one package");
        break;
    }
}

// The product token must be the hardware id's product part as discovery spells it, and the model
// lines must list the id the wizard asks the installer for.
void CheckHardwareId(const CheckedFile& file, const ModelEntry& row, std::size_t modelsLength) {
    if (inf_rules::HasLowerCase(row.productToken))
        Error(file,
              "the product token %s of the first [Models] line is not in capitals: Sembrix compares it with "
              "the camera's, which it writes in capitals, and never finds the camera; write %s in capitals",
              row.productToken, file.hardwareId);
    std::size_t offset = 0;
    for (std::string_view line = inf_rules::NextSectionLine(modelsSection, modelsLength, offset); !line.empty();
         line = inf_rules::NextSectionLine(modelsSection, modelsLength, offset))
        if (inf_rules::ListsHardwareId(inf_rules::SplitLine(line).value, file.hardwareId)) return;
    Error(file,
          "no [Models] line lists %s, the hardware id Sembrix asks the installer for (it is made from the "
          "first [Models] line's product part): the installer finds nothing to install; "
          "make the first [Models] line end in %s",
          file.hardwareId, file.hardwareId);
}

// The decorated section that 64-bit Windows reads must exist and list what [Models] lists.
void CheckDecoratedSection(const CheckedFile& file, std::string_view decoration, std::size_t modelsLength) {
    char name[SECTION_NAME_SIZE];
    if (!model_rules::ComposeText(name, std::size(name), MODELS, ".", decoration)) return;
    const std::size_t length = ReadSection(file, name, decoratedSection, SECTION_SIZE);
    if (length == 0) {
        Error(file,
              "[%s] is missing: 64-bit Windows will find no driver for %s; add it with the same lines as [Models]",
              name, file.hardwareId);
        return;
    }
    std::string_view odd = inf_rules::FirstLineMissingFrom(decoratedSection, length, modelsSection, modelsLength);
    if (odd.empty()) odd = inf_rules::FirstLineMissingFrom(modelsSection, modelsLength, decoratedSection, length);
    if (!odd.empty())
        Error(file,
              "[%s] differs from [Models] (\"%.*s\" is in only one of them): 64-bit Windows installs from "
              "[%s], so its owners get another driver or none; give [%s] the same lines as [Models]",
              name, static_cast<int>(odd.size()), odd.data(), name, name);
}

// [Manufacturer] must lead the installer to [Models], and on 64-bit Windows to its NTamd64 decoration.
void CheckManufacturer(const CheckedFile& file, std::size_t modelsLength) {
    const std::size_t length = ReadSection(file, "Manufacturer", manufacturerSection, SECTION_SIZE);
    std::size_t offset = 0;
    inf_rules::InfLine maker = {};
    for (std::string_view line = inf_rules::NextSectionLine(manufacturerSection, length, offset);
         !line.empty() && maker.value.empty(); line = inf_rules::NextSectionLine(manufacturerSection, length, offset)) {
        const inf_rules::InfLine parts = inf_rules::SplitLine(line);
        if (inf_rules::SameText(inf_rules::Field(parts.value, 0), MODELS)) maker = parts;
    }
    const std::string_view models = maker.value;
    if (models.empty()) {
        Error(file,
              "[Manufacturer] does not name the Models section: the installer never reads [Models] and finds "
              "nothing to install; write %%Maker%%=Models,NTamd64 in [Manufacturer]");
        return;
    }
    bool named = false;
    for (int index = 1; !inf_rules::Field(models, index).empty(); ++index) {
        const std::string_view decoration = inf_rules::Field(models, index);
        if (!inf_rules::IsAmd64Decoration(decoration)) continue;
        named = true;
        CheckDecoratedSection(file, decoration, modelsLength);
    }
    if (named) return;
    if (GetPrivateProfileSectionA("Models.NTamd64", decoratedSection, SECTION_SIZE, file.path) == 0)
        Error(file,
              "[Models.NTamd64] is missing: 64-bit Windows will find no driver for %s; add it with the same "
              "lines as [Models] and name NTamd64 in [Manufacturer]",
              file.hardwareId);
    else
        Error(file,
              "[Manufacturer] does not name NTamd64: 64-bit Windows never reads [Models.NTamd64] and finds "
              "no driver for %s; write %.*s%s%.*s,NTamd64 in [Manufacturer]",
              file.hardwareId, static_cast<int>(maker.key.size()), maker.key.data(), maker.key.empty() ? "" : "=",
              static_cast<int>(models.size()), models.data());
}

// [Version] must carry what the installer refuses a package without; a missing catalog fails it too.
void CheckVersion(const CheckedFile& file, const char* dir) {
    const std::size_t length = ReadSection(file, "Version", versionSection, SECTION_SIZE);
    const std::string_view signature = ValueOf(versionSection, length, "Signature");
    if (!inf_rules::IsKnownSignature(signature))
        Error(file,
              "[Version] Signature is \"%.*s\", neither \"$Windows NT$\" nor \"$Chicago$\": the installer "
              "takes the file for no INF at all; write Signature=\"$Windows NT$\"",
              static_cast<int>(signature.size()), signature.data());
    for (const char* key : {"Class", "ClassGuid", "DriverVer"})
        if (ValueOf(versionSection, length, key).empty())
            Error(file, "[Version] has no %s: the installer refuses the package; add %s=%s", key, key,
                  std::strcmp(key, "Class") == 0       ? "Image"
                  : std::strcmp(key, "ClassGuid") == 0 ? "{6bdd1fc6-810f-11d0-bec7-08002be2092f} (for Image)"
                                                       : "mm/dd/yyyy,w.x.y.z");
    const std::string_view driverVer = ValueOf(versionSection, length, "DriverVer");
    if (!driverVer.empty() && !inf_rules::IsWellFormedDriverVer(driverVer))
        Warning(file,
                "[Version] DriverVer \"%.*s\" is not mm/dd/yyyy,w.x.y.z: Windows may rank the driver "
                "below the one installed; write it as DriverVer=12/01/2026,1.0.0.7",
                static_cast<int>(driverVer.size()), driverVer.data());
    if (ValueOf(versionSection, length, "Provider").empty())
        Warning(file,
                "[Version] has no Provider: Device Manager names no maker for the driver; add Provider=%%Maker%%");

    bool catalogNamed = false;
    std::size_t offset = 0;
    for (std::string_view line = inf_rules::NextSectionLine(versionSection, length, offset); !line.empty();
         line = inf_rules::NextSectionLine(versionSection, length, offset)) {
        const inf_rules::InfLine parts = inf_rules::SplitLine(line);
        const std::string_view key = parts.key.substr(0, parts.key.find('.'));
        if (!inf_rules::SameText(key, CATALOG_KEY) || parts.value.empty()) continue;
        catalogNamed = true;
        char catalogPath[INF_PATH_SIZE];
        if (model_rules::ComposeText(catalogPath, std::size(catalogPath), dir, parts.value) &&
            GetFileAttributesA(catalogPath) != INVALID_FILE_ATTRIBUTES)
            continue;
        Error(file,
              "[Version] %.*s names %.*s, which is not in the package: the installer fails on the missing "
              "catalog; put %.*s beside %s, or correct the name",
              static_cast<int>(parts.key.size()), parts.key.data(), static_cast<int>(parts.value.size()),
              parts.value.data(), static_cast<int>(parts.value.size()), parts.value.data(), file.name);
    }
    if (!catalogNamed)
        Warning(file,
                "[Version] names no CatalogFile: the package is unsigned, so Windows asks the owner to trust "
                "an unknown publisher and refuses kernel-mode drivers; sign the package and add "
                "CatalogFile=name.cat");
}

// The wizard uses the first row of a token only: a later file with the same token is never installed.
void CheckDuplicateToken(const CheckedFile& file, int row) {
    const int first = model_rules::FindRowByToken(modelTable, modelTable.rows[row].productToken);
    if (first == row) return;
    const char* firstName = std::strrchr(modelTable.rows[first].infPath, '\\') + 1;
    Warning(file,
            "gives the product token %s, as %s does: Sembrix installs %s for every such camera, so this file "
            "is never used; give it another camera's hardware id, or leave it out",
            modelTable.rows[row].productToken, firstName, firstName);
}

}  // namespace

// Sembrix takes the product token up to the first line's end: a comment there becomes part of it.
bool CheckTokenEnd(const CheckedFile& file, std::size_t modelsLength) {
    std::size_t offset = 0;
    const std::string_view token =
        model_rules::SecondAmpersandToken(inf_rules::NextSectionLine(modelsSection, modelsLength, offset));
    if (token.find_first_of("; \t\"") == std::string_view::npos) return true;
    Error(file,
          "the first [Models] line's product part \"%.*s\" holds more than the product: Sembrix reads "
          "everything after the '&' as the product token and never finds the camera; end the line in the "
          "hardware id and put any comment on a line of its own",
          static_cast<int>(token.size()), token.data());
    return false;
}

void CheckPackageFile(const char* dir, const PackageFile& package) {
    CheckedFile file = {package.name, {}, {}};
    if (!model_rules::ComposeText(file.path, std::size(file.path), dir, package.name)) {
        CheckCatalogueOutcome(file, package.outcome);
        return;
    }
    const std::size_t modelsLength = ReadSection(file, "Models", modelsSection, SECTION_SIZE);
    const bool tokenEndsWell = CheckTokenEnd(file, modelsLength);
    if (tokenEndsWell || package.outcome != InfOutcome::TokenTooLong) CheckCatalogueOutcome(file, package.outcome);
    const bool hasRow = package.row != model_rules::NO_ROW;
    if (!hasRow ||
        !model_rules::ComposeText(file.hardwareId, std::size(file.hardwareId), model_rules::HARDWARE_ID_PREFIX,
                                  modelTable.rows[package.row].productToken))
        model_rules::ComposeText(file.hardwareId, std::size(file.hardwareId), "its cameras", {});
    if (hasRow && tokenEndsWell) CheckHardwareId(file, modelTable.rows[package.row], modelsLength);
    CheckManufacturer(file, modelsLength);
    CheckVersion(file, dir);
    if (hasRow) CheckDuplicateToken(file, package.row);
}
