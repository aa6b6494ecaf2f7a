// Control, command and string ids shared by the resource script and the code.
// Named resources (SCNBOX, INFBOX, BTON1N, SKTOP, MICON, TOVAK) are deliberately not macros:
// windres would silently turn a name that is also a #define into a number.
#pragma once

// Buttons of the main window; command id = IDC_FIRST_BUTTON + index.
#define IDC_FIRST_BUTTON 100
#define IDC_FOLDERS 100
#define IDC_AUTO_SHOW 101
#define IDC_TEST_SCREEN 102
#define IDC_ABOUT_HELP 103
#define IDC_MINIMIZE 104
#define IDC_EXIT 105
#define BUTTON_COUNT 6

#define IDC_PICTURE_LIST 500

// A dialog control nobody addresses.
#define IDC_STATIC (-1)

// Tooltip texts: string id = IDS_FIRST_TOOLTIP + button index.
#define IDS_FIRST_TOOLTIP 10

// Controls of the About and help box.
#define IDC_ABOUT_CREDIT 300
#define IDC_ABOUT_TITLE 301
#define IDC_ABOUT_RIGHTS 302
#define IDC_ABOUT_HELP_AREA 303
#define IDC_ABOUT_DONE 305

// Posted to MainWindow by the thread that decodes ahead whenever it has finished a picture.
#define WM_DECODED_AHEAD (WM_APP + 1)
