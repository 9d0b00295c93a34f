// The resources inside Sembrix.exe, read back through the platform: texts byte for byte on code
// page 932, the dialog template's every number, the icon group and the version block.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "check.h"
#include "expected_texts.h"
#include "resource.h"
#include "wine_fixtures.h"
#include "wizard_driver.h"

namespace {

HMODULE image;

void TestCodePage() {
    check::currentCase = "code page";
    CHECK_NUMBER(GetACP(), 932);
}

void TestStrings() {
    for (const expected::Text& text : expected::TEXTS) {
        check::currentCase = "string table";
        char loaded[256] = {};
        const int length = LoadStringA(image, text.id, loaded, 255);
        CHECK_NUMBER(length, text.cp932Length);
        CHECK(std::memcmp(loaded, text.cp932, static_cast<size_t>(text.cp932Length) + 1) == 0);
        if (std::memcmp(loaded, text.cp932, static_cast<size_t>(text.cp932Length) + 1) != 0)
            std::printf("    string %u differs\n", text.id);
    }
    check::currentCase = "string table";
    char missing[8] = "x";
    CHECK_NUMBER(LoadStringA(image, 10, missing, 8), 0);
}

// Reads the template as the platform does: a DLGTEMPLATE, then WORD-aligned strings, then items.
struct TemplateReader {
    const BYTE* at;
    WORD Word() {
        WORD value;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    DWORD Dword() {
        DWORD value;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    short Short() { return static_cast<short>(Word()); }
    // A string or 0xFFFF + ordinal; returns the ordinal, or 0 for a string copied into text.
    WORD NameOrOrdinal(wchar_t* text, int size) {
        if (Word() == 0xFFFF) return Word();
        at -= sizeof(WORD);
        int length = 0;
        for (wchar_t c; (c = static_cast<wchar_t>(Word())) != 0;)
            if (length + 1 < size) text[length++] = c;
        text[length] = 0;
        return 0;
    }
    void AlignDword() {
        while (reinterpret_cast<ULONG_PTR>(at) % 4) ++at;
    }
};

struct ItemExpected {
    int line;
    WORD id;
    WORD classAtom;            // 0x80 button, 0x82 static, 0x85 combo box
    const wchar_t* className;  // the same class by name, as some resource compilers write it
    DWORD style;
    short x, y, width, height;
    const wchar_t* text;
};

const ItemExpected ITEMS[] = {
    {__LINE__, IDC_HEADLINE, 0x82, L"Static", 0x50020000, 37, 17, 165, 17, L""},
    {__LINE__, IDC_BTN_OK, 0x80, L"Button", 0x50010000, 78, 112, 52, 16, L"OK"},
    {__LINE__, IDC_BTN_CANCEL, 0x80, L"Button", 0x50010000, 137, 112, 52, 16, L""},
    {__LINE__, IDC_GUIDE, 0x82, L"Static", 0x50000000, 38, 42, 161, 67, L""},
    {__LINE__, IDC_CAMERA_LIST, 0x85, L"ComboBox", 0x50210103, 15, 60, 120, 15, L""},
};

void TestDialogTemplate() {
    check::currentCase = "dialog template";
    HRSRC found = FindResourceExW(image, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(IDD_WIZARD),
                                  MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    CHECK(found != nullptr);
    if (!found) return;
    TemplateReader reader = {static_cast<const BYTE*>(LockResource(LoadResource(image, found)))};
    CHECK_NUMBER(reader.Dword(), 0x40000040);
    CHECK_NUMBER(reader.Dword(), 0);
    const WORD items = reader.Word();
    CHECK_NUMBER(items, 5);
    CHECK_NUMBER(reader.Short(), 0);
    CHECK_NUMBER(reader.Short(), 0);
    CHECK_NUMBER(reader.Short(), 210);
    CHECK_NUMBER(reader.Short(), 143);
    wchar_t text[64];
    CHECK_NUMBER(reader.NameOrOrdinal(text, 64), 0);  // no menu
    CHECK(text[0] == 0);
    CHECK_NUMBER(reader.NameOrOrdinal(text, 64), 0);  // the standard dialog class
    CHECK(text[0] == 0);
    CHECK_NUMBER(reader.NameOrOrdinal(text, 64), 0);  // no caption
    CHECK(text[0] == 0);
    CHECK_NUMBER(reader.Word(), 9);
    reader.NameOrOrdinal(text, 64);
    CHECK(std::wcscmp(text, L"ＭＳ Ｐゴシック") == 0);
    for (int i = 0; i < items && i < 5; ++i) {
        const ItemExpected& item = ITEMS[i];
        reader.AlignDword();
        CHECK_NUMBER_AT(item.line, reader.Dword(), item.style);
        CHECK_NUMBER_AT(item.line, reader.Dword(), 0);
        CHECK_NUMBER_AT(item.line, reader.Short(), item.x);
        CHECK_NUMBER_AT(item.line, reader.Short(), item.y);
        CHECK_NUMBER_AT(item.line, reader.Short(), item.width);
        CHECK_NUMBER_AT(item.line, reader.Short(), item.height);
        CHECK_NUMBER_AT(item.line, reader.Word(), item.id);
        const WORD atom = reader.NameOrOrdinal(text, 64);
        CHECK_AT(item.line, atom == item.classAtom || (atom == 0 && _wcsicmp(text, item.className) == 0));
        reader.NameOrOrdinal(text, 64);
        CHECK_AT(item.line, std::wcscmp(text, item.text) == 0);
        reader.at += reader.Word();  // creation data
    }
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

void TestIcon() {
    check::currentCase = "icon";
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(IDI_APP), MAKEINTRESOURCEW(14));
    CHECK(found != nullptr);
    if (!found) return;
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(image, found)));
    WORD count;
    std::memcpy(&count, group + 4, sizeof count);
    CHECK_NUMBER(count, 2);
    const int sizes[] = {32, 16};
    for (int i = 0; i < 2 && i < count; ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, group + 6 + i * sizeof entry, sizeof entry);
        CHECK_NUMBER(entry.width, sizes[i]);
        CHECK_NUMBER(entry.height, sizes[i]);
        CHECK_NUMBER(entry.colours, 16);
        CHECK_NUMBER(entry.bitCount, 4);
        // The platform turns each image into an icon of that size, as title bar and task bar do.
        HICON icon =
            static_cast<HICON>(LoadImageW(image, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, sizes[i], sizes[i], 0));
        CHECK(icon != nullptr);
        ICONINFO info = {};
        CHECK(icon && GetIconInfo(icon, &info));
        BITMAP colour = {};
        if (info.hbmColor) GetObjectW(info.hbmColor, sizeof colour, &colour);
        CHECK_NUMBER(colour.bmWidth, sizes[i]);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (icon) DestroyIcon(icon);
    }
}

void TestVersion(const char* exePath) {
    check::currentCase = "version";
    static BYTE block[8192];
    const DWORD size = GetFileVersionInfoSizeA(exePath, nullptr);
    CHECK(size > 0 && size <= sizeof block);
    if (size == 0 || size > sizeof block || !GetFileVersionInfoA(exePath, 0, size, block)) return;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    CHECK(VerQueryValueA(block, "\\", reinterpret_cast<void**>(&fixed), &length));
    if (!fixed) return;
    CHECK_NUMBER(fixed->dwFileVersionMS, 0x00010000);
    CHECK_NUMBER(fixed->dwFileVersionLS, 0x00000007);
    CHECK_NUMBER(fixed->dwProductVersionMS, 0x00010000);
    CHECK_NUMBER(fixed->dwProductVersionLS, 0x00000007);
    CHECK_NUMBER(fixed->dwFileOS, VOS_NT_WINDOWS32);
    CHECK_NUMBER(fixed->dwFileType, VFT_APP);
    const char* fields[][2] = {{"FileVersion", "1, 0, 0, 7"},
                               {"ProductVersion", "1, 0, 0, 7"},
                               {"OriginalFilename", "Sembrix.exe"},
                               {"InternalName", "Sembrix"},
                               {"CompanyName", "Orvane"}};
    for (const auto& field : fields) {
        char query[64];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\041104b0\\%s", field[0]);
        char* value = nullptr;
        CHECK(VerQueryValueA(block, query, reinterpret_cast<void**>(&value), &length));
        if (value) CHECK_TEXT(value, field[1]);
    }
}

// The manifest asks for an administrator, names Vista to 11, the version 6 controls and UTF-8 for the A calls.
void TestManifest(const char* exePath) {
    check::currentCase = "manifest";
    static char manifest[driver::MANIFEST_SIZE];
    CHECK(driver::ReadManifest(exePath, manifest));
    const char* required[] = {
        "level=\"requireAdministrator\"",
        "name=\"Microsoft.Windows.Common-Controls\"",
        "version=\"6.0.0.0\"",
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
        "WindowsSettings\">true</dpiAware>",
        "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>",
    };
    for (const char* text : required) {
        const bool present = std::strstr(manifest, text) != nullptr;
        CHECK(present);
        if (!present) std::printf("    manifest lacks %s\n", text);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: resources_test SEMBRIX_EXE\n");
        return 2;
    }
    char exePath[MAX_PATH];
    fixtures::ToWindowsPath(argv[1], exePath);
    image = LoadLibraryExA(exePath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    CHECK(image != nullptr);
    if (!image) return check::Summary();
    TestCodePage();
    TestStrings();
    TestDialogTemplate();
    TestIcon();
    TestVersion(exePath);
    TestManifest(exePath);
    return check::Summary();
}
