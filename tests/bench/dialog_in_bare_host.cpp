// The start-up floor of Sembrix's own layout: a bare window that hosts the wizard's dialog template (its
// font and five controls, from the same resource script, with the same manifest), doing nothing else.
#include <windows.h>

#include "dialog_loop.h"

#include "resource.h"

namespace {

INT_PTR CALLBACK BareDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShowCmd) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = hInstance;
    windowClass.lpszClassName = "BareHost";
    if (!RegisterClassExA(&windowClass)) return 1;
    HWND host = CreateWindowExA(0, "BareHost", "Bare host", WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, hInstance, nullptr);
    HWND dialog = host ? CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_WIZARD), host, BareDialogProc, 0) : nullptr;
    if (!dialog) return 1;
    ShowWindow(dialog, SW_SHOW);
    ShowWindow(host, nShowCmd);
    return RunDialogLoop(dialog);
}
