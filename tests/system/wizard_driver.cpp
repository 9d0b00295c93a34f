#include "wizard_driver.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "resource.h"

namespace driver {

namespace {

constexpr DWORD POLL_MS = 50;

struct ProcessWindow {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ProcessWindow*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    wchar_t text[256];
    GetClassNameW(window, text, 256);
    if (std::wcscmp(text, search->className) != 0) return TRUE;
    if (search->caption) {
        GetWindowTextW(window, text, 256);
        if (std::wcscmp(text, search->caption) != 0) return TRUE;
    }
    search->found = window;
    return FALSE;
}

// A top-level window of the process with this class (and caption), polled until the timeout.
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* caption, DWORD timeoutMs) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += POLL_MS) {
        ProcessWindow search = {processId, className, caption, nullptr};
        EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(POLL_MS);
    }
    return nullptr;
}

}  // namespace

namespace {

// A path of the test's code page in UTF-16; false when it does not convert.
bool Widen(const char* path, wchar_t (&wide)[MAX_PATH]) {
    return MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) > 0;
}

}  // namespace

bool Launch(const char* exePath, const wchar_t* workDir, PROCESS_INFORMATION& process) {
    wchar_t exe[MAX_PATH];
    wchar_t commandLine[MAX_PATH + 2];
    if (!Widen(exePath, exe)) return false;
    std::swprintf(commandLine, MAX_PATH + 2, L"\"%ls\"", exe);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(exe, commandLine, nullptr, nullptr, FALSE, 0, nullptr, workDir, &startup, &process) != FALSE;
}

bool Launch(const char* exePath, const char* workDir, PROCESS_INFORMATION& process) {
    wchar_t wide[MAX_PATH];
    return Widen(workDir, wide) && Launch(exePath, wide, process);
}

bool StartSembrix(const char* exePath, const char* workDir, Run& run) {
    wchar_t wide[MAX_PATH];
    run = {};
    return Widen(workDir, wide) && StartSembrix(exePath, wide, run);
}

bool StartSembrix(const char* exePath, const wchar_t* workDir, Run& run) {
    run = {};
    // A window left by an earlier run would take this start for a second instance.
    for (DWORD waited = 0; FindWindowW(L"Pelmorant", nullptr); waited += POLL_MS) {
        if (waited >= WINDOW_TIMEOUT_MS) {
            HWND stale = FindWindowW(L"Pelmorant", nullptr);
            DWORD owner = 0;
            GetWindowThreadProcessId(stale, &owner);
            std::printf("    an earlier wizard window is still there (process %lu)\n", owner);
            return false;
        }
        Sleep(POLL_MS);
    }
    if (!Launch(exePath, workDir, run.process)) {
        std::printf("    could not start %s in %ls: error %lu\n", exePath, workDir, GetLastError());
        return false;
    }
    run.host = WaitForProcessWindow(run.process.dwProcessId, L"Pelmorant", L"Sembrix", WINDOW_TIMEOUT_MS);
    // The host is visible to a search before its WM_CREATE has built the dialog inside.
    for (DWORD waited = 0; run.host && !run.dialog && waited <= WINDOW_TIMEOUT_MS; waited += POLL_MS) {
        run.dialog = FindWindowExW(run.host, nullptr, L"#32770", nullptr);
        if (!run.dialog) Sleep(POLL_MS);
    }
    if (run.host && run.dialog) {
        WaitForInputIdle(run.process.hProcess, WINDOW_TIMEOUT_MS);
        return true;
    }
    DWORD code = 0;
    GetExitCodeProcess(run.process.hProcess, &code);
    std::printf("    no wizard window within %lu ms (host %p, dialog %p, process status %lu)\n", WINDOW_TIMEOUT_MS,
                static_cast<void*>(run.host), static_cast<void*>(run.dialog), code);
    Finish(run);
    return false;
}

long RunToExit(const char* exePath, const char* workDir, DWORD timeoutMs) {
    Run run = {};
    if (!Launch(exePath, workDir, run.process)) return -1;
    const long code = WaitForExit(run, timeoutMs);
    Finish(run);
    return code;
}

long WaitForExit(Run& run, DWORD timeoutMs) {
    if (WaitForSingleObject(run.process.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(run.process.hProcess, &code);
    return static_cast<long>(code);
}

void Finish(Run& run) {
    if (!run.process.hProcess) return;
    if (WaitForSingleObject(run.process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(run.process.hProcess, 99);
        WaitForSingleObject(run.process.hProcess, WINDOW_TIMEOUT_MS);
    }
    CloseHandle(run.process.hThread);
    CloseHandle(run.process.hProcess);
    run = {};
}

ControlState ReadControl(const Run& run, int id) {
    ControlState state = {};
    HWND control = GetDlgItem(run.dialog, id);
    GetWindowTextW(control, state.text, 512);
    state.visible = IsWindowVisible(control) != FALSE;
    state.enabled = IsWindowEnabled(control) != FALSE;
    GetWindowRect(control, &state.rect);
    MapWindowPoints(HWND_DESKTOP, run.dialog, reinterpret_cast<POINT*>(&state.rect), 2);
    state.isDefault = (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    state.focused = GetGUIThreadInfo(run.process.dwThreadId, &thread) && thread.hwndFocus == control;
    return state;
}

bool WaitForHeadline(const Run& run, const wchar_t* text, DWORD timeoutMs) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += POLL_MS / 5) {
        if (std::wcscmp(ReadControl(run, IDC_HEADLINE).text, text) == 0) return true;
        Sleep(POLL_MS / 5);
    }
    return false;
}

bool WaitForDisabled(const Run& run, int id, DWORD timeoutMs) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += POLL_MS / 5) {
        if (!IsWindowEnabled(GetDlgItem(run.dialog, id))) return true;
        Sleep(POLL_MS / 5);
    }
    return false;
}

void Press(const Run& run, int id) { PostMessageW(GetDlgItem(run.dialog, id), BM_CLICK, 0, 0); }

void ClickAt(POINT point, int clicks, DWORD gapMs) {
    SetCursorPos(point.x, point.y);
    Sleep(POLL_MS);
    for (int click = 0; click < clicks; ++click) {
        if (click > 0) Sleep(gapMs);
        INPUT inputs[2] = {};
        inputs[0].type = inputs[1].type = INPUT_MOUSE;
        inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, inputs, sizeof(INPUT));
    }
}

POINT ControlCentre(const Run& run, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(run.dialog, id), &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void PressKey(const Run& run, WPARAM key) {
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(run.process.dwThreadId, &thread);
    // With no focus the keyboard goes to the active window, as it does for a real key press.
    HWND target = thread.hwndFocus ? thread.hwndFocus : thread.hwndActive ? thread.hwndActive : run.host;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

HWND WaitForMessageBox(const Run& run, const wchar_t* caption, DWORD timeoutMs) {
    return WaitForProcessWindow(run.process.dwProcessId, L"#32770", caption, timeoutMs);
}

void ReadListItems(const Run& run, wchar_t* out, int outSize) {
    out[0] = L'\0';
    HWND list = GetDlgItem(run.dialog, IDC_CAMERA_LIST);
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    int used = 0;
    for (LRESULT item = 0; item < count; ++item) {
        wchar_t text[256] = {};
        if (SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0) >= 255) continue;
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
        used += std::swprintf(out + used, static_cast<size_t>(outSize - used), item ? L"|%ls" : L"%ls", text);
        if (used < 0 || used >= outSize) break;
    }
}

int ReadListSelection(const Run& run) {
    return static_cast<int>(SendDlgItemMessageW(run.dialog, IDC_CAMERA_LIST, CB_GETCURSEL, 0, 0));
}

void SelectListItem(const Run& run, int index) {
    SendDlgItemMessageW(run.dialog, IDC_CAMERA_LIST, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool ReadManifest(const char* exePath, char (&out)[MANIFEST_SIZE]) {
    out[0] = '\0';
    HMODULE image = LoadLibraryExA(exePath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!image) return false;
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    const DWORD size = found ? SizeofResource(image, found) : 0;
    const bool fits = size > 0 && size < MANIFEST_SIZE;
    if (fits) {
        std::memcpy(out, LockResource(LoadResource(image, found)), size);
        out[size] = '\0';
    }
    FreeLibrary(image);
    return fits;
}

SIZE MeasureDefaultFont(HWND window, const wchar_t* text) {
    SIZE extent = {};
    HDC context = GetDC(window);
    GetTextExtentPoint32W(context, text, static_cast<int>(std::wcslen(text)), &extent);
    ReleaseDC(window, context);
    return extent;
}

namespace {

// Runs work on a hidden twin of the wizard dialog in this process: same template, same font, same units.
template <typename Work>
void WithTwinDialog(const char* exePath, Work work) {
    HMODULE image = LoadLibraryExA(exePath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!image) return;
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND twin = CreateDialogParamW(image, MAKEINTRESOURCEW(IDD_WIZARD), parent, nullptr, 0);
    if (twin) work(twin);
    DestroyWindow(parent);
    FreeLibrary(image);
}

}  // namespace

RECT DialogUnitsToPixels(const char* exePath, int x, int y, int width, int height) {
    // The platform maps position and size separately: map them as four independent numbers.
    RECT rect = {x, y, width, height};
    WithTwinDialog(exePath, [&rect](HWND twin) { MapDialogRect(twin, &rect); });
    return {rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
}

SIZE MeasureDialogFont(const char* exePath, const wchar_t* text) {
    SIZE extent = {};
    WithTwinDialog(exePath, [text, &extent](HWND twin) {
        HDC context = GetDC(twin);
        HGDIOBJ previous = SelectObject(context, reinterpret_cast<HGDIOBJ>(SendMessageW(twin, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32W(context, text, static_cast<int>(std::wcslen(text)), &extent);
        SelectObject(context, previous);
        ReleaseDC(twin, context);
    });
    return extent;
}

bool SaveScreenshot(HWND window, const char* folder, const char* name) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int stride = (width * 3 + 3) & ~3;
    static unsigned char pixels[1024 * 3 * 1024];
    if (width <= 0 || height <= 0 || static_cast<size_t>(stride) * static_cast<size_t>(height) > sizeof pixels)
        return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int lines = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels,
                                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != height) return false;

    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%s\\%s.bmp", folder, name);
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const DWORD imageSize = static_cast<DWORD>(stride) * static_cast<DWORD>(height);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + imageSize;
    bool ok = std::fwrite(&header, sizeof header, 1, file) == 1 && std::fwrite(&info, sizeof info, 1, file) == 1 &&
              std::fwrite(pixels, imageSize, 1, file) == 1;
    return std::fclose(file) == 0 && ok;
}

void Pause(DWORD ms) {
    for (DWORD slept = 0; slept < ms; slept += POLL_MS) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(POLL_MS);
    }
}

}  // namespace driver
