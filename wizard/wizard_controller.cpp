#include "wizard_controller.h"

#include <iterator>

#include "app_handles.h"
#include "device_scanner.h"
#include "driver_updater.h"
#include "model_catalog.h"
#include "model_rules.h"
#include "resource.h"
#include "wizard_screens.h"

namespace {

constexpr UINT UPDATE_DELAY_MS = 1000;

WizardState wizardState = Intro;

// First OK: read the package, find the cameras, and go on by how many matched.
void ScanForCameras(HWND dialog) {
    LoadModelTable();
    ScanAttachedCameras(&matchCount);
    wizardState = Ready;
    if (matchCount == 0) {
        wizardState = Finished;
        ShowResultScreen(dialog, IDS_UPDATE_FAILED);
    } else if (matchCount == 1) {
        // One camera needs no choice: handle OK again, now in Ready, before returning.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BTN_OK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_BTN_OK)));
    } else {
        ShowSelectScreen(dialog);
    }
}

// OK in Ready: the update runs from the timer, once the updating screen is on display.
void StartUpdate(HWND dialog) {
    SetTimer(dialog, UPDATE_TIMER_ID, UPDATE_DELAY_MS, nullptr);
    ShowUpdatingScreen(dialog);
    InvalidateRect(dialog, nullptr, TRUE);
    wizardState = Finished;
}

void PressOk(HWND dialog) {
    switch (wizardState) {
    case Intro: ScanForCameras(dialog); break;
    case Ready: StartUpdate(dialog); break;
    case Finished: PostQuitMessage(0); break;
    }
}

// The timer fires once: pick the camera, install the package's driver for it, and tell how it went.
void RunUpdate(HWND dialog) {
    KillTimer(dialog, UPDATE_TIMER_ID);
    char selected[CAMERA_NAME_BUFFER_SIZE] = {};
    if (matchCount >= 2) ReadSelectedCameraName(dialog, selected);
    // The installer may ask the user something, ownerless: meanwhile the wizard takes no click and no close.
    EnableWindow(hostWindow, FALSE);
    const bool installed =
        UpdateDriver(SelectTarget(matchCount, model_rules::TextInField(selected, std::size(selected))));
    EnableWindow(hostWindow, TRUE);
    // The installer may have shown windows of its own: the wizard comes back to the front.
    SetForegroundWindow(hostWindow);
    ShowResultScreen(dialog, installed ? IDS_UPDATE_DONE : IDS_UPDATE_FAILED);
    wizardState = Finished;
}

void PaintNothing(HWND dialog) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    EndPaint(dialog, &paint);
}

}  // namespace

INT_PTR CALLBACK WizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        ShowIntroScreen(dialog);
        wizardState = Intro;
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_BTN_OK: PressOk(dialog); return TRUE;
        case IDC_BTN_CANCEL: ShowCancelNotice(dialog); return TRUE;
        }
        return FALSE;
    case WM_TIMER: RunUpdate(dialog); return TRUE;
    case WM_PAINT: PaintNothing(dialog); return FALSE;
    }
    return FALSE;
}
