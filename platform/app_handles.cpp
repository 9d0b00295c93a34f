#include "app_handles.h"

HINSTANCE appInstance = nullptr;
HWND hostWindow = nullptr;
HWND wizardDialog = nullptr;
