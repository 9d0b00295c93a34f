#include "host_window.h"

#include "app_handles.h"
#include "display_scale.h"
#include "resource.h"
#include "wizard_controller.h"

namespace {

constexpr DWORD HOST_STYLE = WS_SYSMENU | WS_MINIMIZEBOX;

HWND focusWhenDeactivated = nullptr;  // the wizard's control that had the keyboard when the host lost it

// Builds the dialog inside the host, then fits the host around it and centres it on the screen.
LRESULT CreateWizardInside(HWND host) {
    wizardDialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_WIZARD), host, WizardDialogProc, 0);
    ShowWindow(wizardDialog, SW_SHOW);
    SetWindowPos(wizardDialog, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);

    RECT frame;
    GetWindowRect(wizardDialog, &frame);
    AdjustWindowRect(&frame, 0, TRUE);
    const int extra = ScaleToSystemDpi(1);
    SetWindowPos(host, nullptr, 0, 0, frame.right - frame.left + extra, frame.bottom - frame.top + extra,
                 SWP_NOZORDER | SWP_NOMOVE);
    ShowWindow(wizardDialog, SW_SHOW);

    RECT window;
    GetWindowRect(host, &window);
    MoveWindow(host, (GetSystemMetrics(SM_CXSCREEN) + window.left - window.right) / 2,
               (GetSystemMetrics(SM_CYSCREEN) + window.top - window.bottom) / 2, window.right - window.left,
               window.bottom - window.top, TRUE);
    return 0;
}

LRESULT PaintNothing(HWND host) {
    PAINTSTRUCT paint;
    BeginPaint(host, &paint);
    EndPaint(host, &paint);
    return 0;
}

// Leaving for another window or the task bar: remember which of the wizard's controls had the keyboard.
void RememberWizardFocus(HWND host) {
    HWND focus = GetFocus();
    if (focus && IsChild(host, focus)) focusWhenDeactivated = focus;
}

// Restored or activated again, the host itself gets the focus: hand it on to the wizard's control,
// or let the dialog pick its first one when that control is gone from the screen.
LRESULT ReturnFocusToWizard() {
    HWND target = focusWhenDeactivated;
    if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target)) target = wizardDialog;
    if (target) SetFocus(target);
    return 0;
}

LRESULT CALLBACK HostWindowProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return CreateWizardInside(host);
    case WM_PAINT: return PaintNothing(host);
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) RememberWizardFocus(host);
        return DefWindowProcA(host, message, wParam, lParam);
    case WM_SETFOCUS: return ReturnFocusToWizard();
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(host, message, wParam, lParam);
}

// The application icon at the size that the given system metrics name.
HICON LoadAppIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), 0));
}

}  // namespace

bool RegisterHostClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    // At the icon sizes of the system DPI, so the platform picks the fitting image for each.
    windowClass.hIcon = LoadAppIcon(instance, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // The platform takes a system colour index + 1 in place of a brush.
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);  // NOLINT(performance-no-int-to-ptr)
    windowClass.lpszMenuName = "";
    windowClass.lpszClassName = HOST_CLASS_NAME;
    return RegisterClassExA(&windowClass) != 0;
}

HWND CreateHostWindow(HINSTANCE instance, const char* title) {
    return CreateWindowExA(0, HOST_CLASS_NAME, title, HOST_STYLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
}
