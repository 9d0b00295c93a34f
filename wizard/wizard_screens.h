// The screens of the wizard dialog and the cancel notice.
#pragma once

#include <windows.h>

#include "model_table.h"

// The list holds only friendly names, so a buffer of their size takes any item whatever length is reported.
constexpr int CAMERA_NAME_BUFFER_SIZE = FRIENDLY_NAME_SIZE;

void ShowIntroScreen(HWND dialog);
void ShowSelectScreen(HWND dialog);
void FillCameraList(HWND dialog);
// The camera list's selected name; left empty when nothing is selected or it does not fit.
void ReadSelectedCameraName(HWND dialog, char (&name)[CAMERA_NAME_BUFFER_SIZE]);
void ShowUpdatingScreen(HWND dialog);
void ShowResultScreen(HWND dialog, UINT textId);
void ShowCancelNotice(HWND dialog);
