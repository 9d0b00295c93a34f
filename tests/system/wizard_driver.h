// Drives a running Sembrix.exe from another process: finds its windows, reads and presses its controls.
#pragma once

#include <windows.h>

namespace driver {

constexpr DWORD WINDOW_TIMEOUT_MS = 15000;
constexpr DWORD INSTALL_TIMEOUT_MS = 60000;

struct Run {
    PROCESS_INFORMATION process;
    HWND host;
    HWND dialog;
};

// What a person can see of one control; rect in the dialog's client coordinates.
struct ControlState {
    wchar_t text[512];
    bool visible;
    bool enabled;
    RECT rect;
    bool isDefault;
    bool focused;
};

// Starts an exe with no arguments in workDir.
bool Launch(const char* exePath, const char* workDir, PROCESS_INFORMATION& process);
bool Launch(const char* exePath, const wchar_t* workDir, PROCESS_INFORMATION& process);

// Starts the exe in workDir and waits for its host window; false (and nothing left running) on failure.
// The wide form takes folders that the test's code page cannot spell.
bool StartSembrix(const char* exePath, const char* workDir, Run& run);
bool StartSembrix(const char* exePath, const wchar_t* workDir, Run& run);

// Starts the exe and waits for it to end; its exit code, or -1 when it did not end in time.
long RunToExit(const char* exePath, const char* workDir, DWORD timeoutMs);

// Waits for the process to end; its exit code, or -1 when it did not end in time.
long WaitForExit(Run& run, DWORD timeoutMs);

// Ends the process if still running and releases the handles.
void Finish(Run& run);

ControlState ReadControl(const Run& run, int id);

// Waits until the headline shows text; false on timeout.
bool WaitForHeadline(const Run& run, const wchar_t* text, DWORD timeoutMs);

// Waits until a control is disabled; false on timeout.
bool WaitForDisabled(const Run& run, int id, DWORD timeoutMs);

// Presses a button as a click does.
void Press(const Run& run, int id);

// Clicks the left mouse button at a screen point as a hand does, through the platform's input queue:
// clicks times, gapMs apart (two about 120 ms apart make a double-click).
void ClickAt(POINT point, int clicks, DWORD gapMs);

// The centre of a control of the wizard dialog, in screen coordinates.
POINT ControlCentre(const Run& run, int id);

// Sends a key press to the focused control through the program's own message loop.
void PressKey(const Run& run, WPARAM key);

// The top-level message box of the process with this caption, or nullptr after the timeout.
HWND WaitForMessageBox(const Run& run, const wchar_t* caption, DWORD timeoutMs);

// The camera list's items, in list order, as one string joined by '|'.
void ReadListItems(const Run& run, wchar_t* out, int outSize);
int ReadListSelection(const Run& run);
void SelectListItem(const Run& run, int index);

constexpr DWORD MANIFEST_SIZE = 4096;

// The exe's manifest as text; false (and out empty) when it has none that fits.
bool ReadManifest(const char* exePath, char (&out)[MANIFEST_SIZE]);

// The pixel width of text measured with a context of window, which carries the default font.
SIZE MeasureDefaultFont(HWND window, const wchar_t* text);

// The extent of text in the font the wizard dialog's controls draw with.
SIZE MeasureDialogFont(const char* exePath, const wchar_t* text);

// Converts a rectangle in dialog units of the wizard's template to pixels, as the running dialog does.
RECT DialogUnitsToPixels(const char* exePath, int x, int y, int width, int height);

// Saves the window's pixels on screen as a 24-bit BMP named name.bmp in folder.
bool SaveScreenshot(HWND window, const char* folder, const char* name);

// Lets the program work: sleeps in short steps, handling this process's own window messages.
void Pause(DWORD ms);

}  // namespace driver
