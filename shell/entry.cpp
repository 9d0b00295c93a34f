// Sembrix: updates the driver of Orvane's USB cameras from the driver package it is started in.
#include <windows.h>

#include "app_handles.h"
#include "host_window.h"
#include "resource.h"
#include "system_library.h"

namespace {

// Like every text, sized for UTF-8's up to 3 bytes a character.
constexpr int TITLE_BUFFER_SIZE = 1024;
constexpr int TITLE_LIMIT = 1023;
// Local to the session: another user's wizard on the same PC is none of this one's business.
constexpr char INSTANCE_MUTEX_NAME[] = "Local\\Orvane.Sembrix.Instance";
constexpr DWORD WINNER_WINDOW_WAIT_MS = 5000;
constexpr DWORD WINNER_WINDOW_POLL_MS = 50;

// Brings a running instance forward, waiting up to waitMs for its window; true when there was one.
bool RaiseRunningInstance(const char* title, DWORD waitMs) {
    HWND running = FindWindowA(HOST_CLASS_NAME, title);
    for (DWORD waited = 0; !running && waited < waitMs; waited += WINNER_WINDOW_POLL_MS) {
        Sleep(WINNER_WINDOW_POLL_MS);
        running = FindWindowA(HOST_CLASS_NAME, title);
    }
    if (!running) return false;
    if (IsIconic(running)) OpenIcon(running);
    SetForegroundWindow(running);
    return true;
}

HANDLE instanceMutex = nullptr;  // held until the process exits: its existence is the claim

// Takes the session's instance mutex; false when another start holds it. Two starts a few milliseconds
// apart both miss each other's window, never the mutex.
bool ClaimFirstInstance() {
    instanceMutex = CreateMutexA(nullptr, TRUE, INSTANCE_MUTEX_NAME);
    return instanceMutex && GetLastError() != ERROR_ALREADY_EXISTS;
}

// The second click of a double-click reaches the button as WM_LBUTTONDBLCLK, which a push button takes
// for another press: on the screen that the first click brought, whose OK sits in the same place.
bool IsDoubleClickOnWizardButton(const MSG& message) {
    if (message.message != WM_LBUTTONDBLCLK || !wizardDialog || GetParent(message.hwnd) != wizardDialog) return false;
    const int id = GetDlgCtrlID(message.hwnd);
    return id == IDC_BTN_OK || id == IDC_BTN_CANCEL;
}

// Offers every message to the wizard dialog first; returns the quit message's code.
int RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDoubleClickOnWizardButton(message)) continue;
        if (wizardDialog && IsDialogMessageA(wizardDialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShowCmd) {
    const bool first = ClaimFirstInstance();
    RestrictDllSearchPath();
    // The installer call blocks the one thread: no "not responding" ghost may offer to end the program then.
    DisableProcessWindowsGhosting();
    char title[TITLE_BUFFER_SIZE] = {};
    LoadStringA(hInstance, IDS_APP_TITLE, title, TITLE_LIMIT);
    if (!first) {
        RaiseRunningInstance(title, WINNER_WINDOW_WAIT_MS);
        return 0;
    }
    if (RaiseRunningInstance(title, 0)) return 0;

    appInstance = hInstance;
    if (!RegisterHostClass(hInstance)) return 0;
    HWND host = CreateHostWindow(hInstance, title);
    if (!host) return 0;
    ShowWindow(host, nShowCmd);
    UpdateWindow(host);
    hostWindow = host;
    return RunMessageLoop();
}
