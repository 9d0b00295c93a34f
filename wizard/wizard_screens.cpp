#include "wizard_screens.h"

#include <algorithm>
#include <iterator>

#include "app_handles.h"
#include "display_scale.h"
#include "model_rules.h"
#include "model_table.h"
#include "resource.h"

namespace {

// Sized for UTF-8, where a character takes up to 3 bytes (the cancel notice needs 256).
constexpr int TEXT_BUFFER_SIZE = 1024;
constexpr int TEXT_LIMIT = 1023;
constexpr int CENTRED_Y = 80;
constexpr int HEADLINE_PADDING = 10;
constexpr int RESULT_OFFSET_X = 30;
constexpr int CAMERA_LIST_WIDTH = 250;
constexpr int CAMERA_LIST_HEIGHT = 300;

// A hidden control is always disabled too.
void HideControl(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    ShowWindow(control, SW_HIDE);
    EnableWindow(control, FALSE);
}

void ShowControl(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    ShowWindow(control, SW_SHOW);
    EnableWindow(control, TRUE);
}

// Loads a string resource into text; an unknown id leaves it empty.
void LoadText(UINT id, char (&text)[TEXT_BUFFER_SIZE]) {
    text[0] = '\0';
    LoadStringA(appInstance, id, text, TEXT_LIMIT);
}

void SetControlText(HWND dialog, int id, UINT textId) {
    char text[TEXT_BUFFER_SIZE];
    LoadText(textId, text);
    SetDlgItemTextA(dialog, id, text);
}

// Also the dialog's default id, so that Enter on the camera list presses OK.
void MakeOkDefault(HWND dialog) {
    HWND ok = GetDlgItem(dialog, IDC_BTN_OK);
    SetFocus(ok);
    SendMessageA(dialog, DM_SETDEFID, IDC_BTN_OK, 0);
    SendMessageA(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

int DialogWidth(HWND dialog) {
    RECT rect;
    GetWindowRect(dialog, &rect);
    return rect.right - rect.left;
}

// The extent of text in the context's current font.
SIZE MeasureWideText(HDC context, const wchar_t* text, int length) {
    SIZE extent = {};
    GetTextExtentPoint32W(context, text, length, &extent);
    return extent;
}

// Centres the headline at y 80, shifted by offsetX, in a box that holds its text on one line: as wide as the
// default font's extent (that font keeps its 96-DPI widths at any DPI, so its width counts as layout pixels)
// or, where that font lacks the glyphs, the dialog font's. The layout's pixel values are scaled to the DPI.
void PlaceHeadline(HWND dialog, const char* text, int offsetX, BOOL repaint) {
    HWND headline = GetDlgItem(dialog, IDC_HEADLINE);
    // GDI's A calls decode bytes with the font's character set, not the code page: measure characters.
    wchar_t wide[TEXT_BUFFER_SIZE];
    const int converted = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, TEXT_BUFFER_SIZE);
    const int length = converted > 0 ? converted - 1 : 0;
    HDC context = GetDC(dialog);
    const SIZE byDefaultFont = MeasureWideText(context, wide, length);
    SIZE byDialogFont = byDefaultFont;
    // WM_GETFONT answers with the font's handle as its result.
    const LRESULT fontHandle = SendMessageA(dialog, WM_GETFONT, 0, 0);
    HGDIOBJ dialogFont = reinterpret_cast<HGDIOBJ>(fontHandle);  // NOLINT(performance-no-int-to-ptr)
    if (dialogFont) {
        HGDIOBJ previous = SelectObject(context, dialogFont);
        byDialogFont = MeasureWideText(context, wide, length);
        SelectObject(context, previous);
    }
    const int width = std::max(ScaleToSystemDpi(byDefaultFont.cx), static_cast<int>(byDialogFont.cx));
    const int height = std::max(byDefaultFont.cy, byDialogFont.cy);
    const int padding = ScaleToSystemDpi(HEADLINE_PADDING);
    MoveWindow(headline, (DialogWidth(dialog) - width) / 2 + ScaleToSystemDpi(offsetX), ScaleToSystemDpi(CENTRED_Y),
               width + padding, height + padding, repaint);
    if (repaint) UpdateWindow(headline);
    ReleaseDC(dialog, context);
}

}  // namespace

// Intro: the headline, the guide and both buttons where the template puts them.
void ShowIntroScreen(HWND dialog) {
    HideControl(dialog, IDC_CAMERA_LIST);
    SetControlText(dialog, IDC_HEADLINE, IDS_INTRO_HEADLINE);
    SetControlText(dialog, IDC_GUIDE, IDS_INTRO_GUIDE);
    SetControlText(dialog, IDC_BTN_CANCEL, IDS_CANCEL);
    MakeOkDefault(dialog);
}

// Selection: the prompt and the sorted list of matched cameras, centred at y 80 (at 96 DPI).
void ShowSelectScreen(HWND dialog) {
    SetControlText(dialog, IDC_HEADLINE, IDS_SELECT_PROMPT);
    HideControl(dialog, IDC_GUIDE);
    HWND list = GetDlgItem(dialog, IDC_CAMERA_LIST);
    const int width = ScaleToSystemDpi(CAMERA_LIST_WIDTH);
    MoveWindow(list, (DialogWidth(dialog) - width) / 2, ScaleToSystemDpi(CENTRED_Y), width,
               ScaleToSystemDpi(CAMERA_LIST_HEIGHT), TRUE);
    UpdateWindow(list);
    FillCameraList(dialog);
    ShowControl(dialog, IDC_CAMERA_LIST);
    SetControlText(dialog, IDC_BTN_CANCEL, IDS_CANCEL);
    MakeOkDefault(dialog);
}

// Adds every matched camera's name; the list sorts them itself. The first sorted name is selected.
void FillCameraList(HWND dialog) {
    const int rows = model_rules::CountModelRows(modelTable);
    for (int row = 0; row < rows; ++row) {
        const char* name = modelTable.rows[row].friendlyName;
        if (name[0] != '\0')
            SendDlgItemMessageA(dialog, IDC_CAMERA_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendDlgItemMessageA(dialog, IDC_CAMERA_LIST, CB_SETCURSEL, 0, 0);
}

// Reads the selected camera's name, for the update to find its row by.
void ReadSelectedCameraName(HWND dialog, char (&name)[CAMERA_NAME_BUFFER_SIZE]) {
    name[0] = '\0';
    const LRESULT index = SendDlgItemMessageA(dialog, IDC_CAMERA_LIST, CB_GETCURSEL, 0, 0);
    const LRESULT length = SendDlgItemMessageA(dialog, IDC_CAMERA_LIST, CB_GETLBTEXTLEN, index, 0);
    // CB_GETLBTEXT takes no buffer size: ask for the length first.
    if (index != CB_ERR && length != CB_ERR && length < CAMERA_NAME_BUFFER_SIZE)
        SendDlgItemMessageA(dialog, IDC_CAMERA_LIST, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(name));
}

// Updating: the wait cursor and a centred headline; nothing can be pressed.
void ShowUpdatingScreen(HWND dialog) {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    char text[TEXT_BUFFER_SIZE];
    LoadText(IDS_UPDATING, text);
    SetDlgItemTextA(dialog, IDC_HEADLINE, text);
    PlaceHeadline(dialog, text, 0, TRUE);
    HideControl(dialog, IDC_GUIDE);
    HideControl(dialog, IDC_CAMERA_LIST);
    HideControl(dialog, IDC_BTN_OK);
    HideControl(dialog, IDC_BTN_CANCEL);
}

// Result: success or failure, and OK to end the program.
void ShowResultScreen(HWND dialog, UINT textId) {
    char text[TEXT_BUFFER_SIZE];
    LoadText(textId, text);
    const bool failure = textId != IDS_UPDATE_DONE;
    PlaceHeadline(dialog, text, RESULT_OFFSET_X, failure);
    if (failure) RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SetDlgItemTextA(dialog, IDC_HEADLINE, text);
    HideControl(dialog, IDC_GUIDE);
    HideControl(dialog, IDC_CAMERA_LIST);
    ShowControl(dialog, IDC_BTN_OK);
    HideControl(dialog, IDC_BTN_CANCEL);
    MakeOkDefault(dialog);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

// Cancel: the host disappears, the notice tells how to start again, and the run ends.
void ShowCancelNotice(HWND dialog) {
    ShowWindow(GetParent(dialog), SW_HIDE);
    char text[TEXT_BUFFER_SIZE];
    char caption[TEXT_BUFFER_SIZE];
    LoadText(IDS_CANCEL_NOTICE, text);
    LoadText(IDS_CANCEL_CAPTION, caption);
    MessageBoxA(nullptr, text, caption, MB_ICONWARNING | MB_OK);
    PostQuitMessage(0);
}
