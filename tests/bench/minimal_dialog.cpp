// The start-up floor: a one-dialog Win32 program built the way Sembrix is, doing nothing else.
#include <windows.h>

namespace {

INT_PTR CALLBACK MinimalDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShowCmd) {
    HWND dialog = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(1), nullptr, MinimalDialogProc, 0);
    if (!dialog) return 1;
    ShowWindow(dialog, nShowCmd);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
