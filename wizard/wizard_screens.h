// The screens of the wizard dialog and the cancel notice.
#pragma once

#include <windows.h>

// Names are under 100 bytes; the room above that absorbs CB_GETLBTEXTLEN's allowed overestimate.
constexpr int CAMERA_NAME_BUFFER_SIZE = 256;

void ShowIntroScreen(HWND dialog);
void ShowSelectScreen(HWND dialog);
void FillCameraList(HWND dialog);
// The camera list's selected name; left empty when nothing is selected or it does not fit.
void ReadSelectedCameraName(HWND dialog, char (&name)[CAMERA_NAME_BUFFER_SIZE]);
void ShowUpdatingScreen(HWND dialog);
void ShowResultScreen(HWND dialog, UINT textId);
void ShowCancelNotice(HWND dialog);
