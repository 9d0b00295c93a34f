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

// Brings a running instance forward; true when there was one.
bool RaiseRunningInstance(const char* title) {
    HWND running = FindWindowA(HOST_CLASS_NAME, title);
    if (!running) return false;
    if (IsIconic(running)) OpenIcon(running);
    SetForegroundWindow(running);
    return true;
}

// Offers every message to the wizard dialog first; returns the quit message's code.
int RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (wizardDialog && IsDialogMessageA(wizardDialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShowCmd) {
    RestrictDllSearchPath();
    char title[TITLE_BUFFER_SIZE] = {};
    LoadStringA(hInstance, IDS_APP_TITLE, title, TITLE_LIMIT);
    if (RaiseRunningInstance(title)) return 0;

    appInstance = hInstance;
    if (!RegisterHostClass(hInstance)) return 0;
    HWND host = CreateHostWindow(hInstance, title);
    if (!host) return 0;
    ShowWindow(host, nShowCmd);
    UpdateWindow(host);
    hostWindow = host;
    return RunMessageLoop();
}
