// The screens of the wizard dialog and the cancel notice.
#pragma once

#include <windows.h>

void ShowIntroScreen(HWND dialog);
void ShowSelectScreen(HWND dialog);
void FillCameraList(HWND dialog);
void ShowUpdatingScreen(HWND dialog);
void ShowResultScreen(HWND dialog, UINT textId);
void ShowCancelNotice(HWND dialog);
