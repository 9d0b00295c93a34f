// Identifiers of every resource of Sembrix.exe.
#pragma once

// Strings
#define IDS_INTRO_HEADLINE 1
#define IDS_INTRO_GUIDE 2
#define IDS_SELECT_PROMPT 3
#define IDS_UPDATING 4
#define IDS_UPDATE_DONE 5
#define IDS_UPDATE_FAILED 6
#define IDS_CANCEL_NOTICE 7
#define IDS_APP_TITLE 8
#define IDS_CANCEL_CAPTION 9
#define IDS_CANCEL 11

// Controls of the wizard dialog
#define IDC_BTN_OK 1000
#define IDC_BTN_CANCEL 1001
#define IDC_HEADLINE 1002
#define IDC_GUIDE 1003
#define IDC_CAMERA_LIST 1005

// Dialogs
#define IDD_WIZARD 1005

// Icons
#define IDI_APP 101
