// The message loop of the start-up floors, the same as Sembrix's: the dialog is offered every message first.
#pragma once

#include <windows.h>

inline int RunDialogLoop(HWND dialog) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
