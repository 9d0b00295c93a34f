// The start-up floor: a one-dialog Win32 program built the way Sembrix is, doing nothing else.
#include <windows.h>

#include "dialog_loop.h"

namespace {

INT_PTR CALLBACK MinimalDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShowCmd) {
    HWND dialog = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(1), nullptr, MinimalDialogProc, 0);
    if (!dialog) return 1;
    ShowWindow(dialog, nShowCmd);
    return RunDialogLoop(dialog);
}
