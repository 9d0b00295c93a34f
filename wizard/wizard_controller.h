// The state machine behind the wizard dialog.
#pragma once

#include <windows.h>

enum WizardState { Intro = 0, Ready = 1, Finished = 2 };

constexpr UINT_PTR UPDATE_TIMER_ID = 0x7FFF;

// The dialog procedure of IDD_WIZARD.
INT_PTR CALLBACK WizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
