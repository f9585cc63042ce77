// Resource ids of Tessel, shared by its resource script and its code.
#pragma once

// Resources
#define IDR_MAINFRAME                   128
#define IDD_ABOUTBOX                    100
#define IDD_TOOLVIEW                    132

// Controls of the tool pane's form (dialog 132)
#define IDC_LINE_NUMBER                 1000
#define IDC_FIND                        1001
#define IDC_FIND_TEXT                   1002
#define IDC_MATCH_CASE                  1003
#define IDC_GOTO                        1006
#define IDC_FIND_LABEL                  1007
#define IDC_GOTO_LABEL                  1008
#define IDC_LINE_INDICATOR              1009
#define IDC_TOOL_CANCEL                 1010
#define IDC_REPLACE                     1011
#define IDC_REPLACE_ALL                 1012
#define IDC_REPLACE_TEXT                1013
#define IDC_REPLACE_LABEL               1014
#define IDC_STATIC                      (-1)

// Commands of Tessel's own
#define ID_TOOLS_GOTO                   32775
#define ID_TOOLS_FIND_REPLACE           32776

// Buttons of the menu-bar record, which only open their drop-down menus
#define ID_MENUBAR_FILE                 32771
#define ID_MENUBAR_EDIT                 105
#define ID_MENUBAR_TOOLS                106

// Strings
#define IDS_MENUBAR_EDIT                102
#define IDS_MENUBAR_TOOLS               103
#define IDS_MENUBAR_FILE                32773
#define IDS_NEW                         65000
#define IDS_FILE                        65001
#define IDS_HELP                        65002
#define IDS_SAVE                        65003
#define IDS_CUT                         65004
#define IDS_COPY                        65005
#define IDS_PASTE                       65006
#define IDS_ABOUT                       65007
#define IDS_LINE_TOO_SMALL              65008
#define IDS_LINE_TOO_BIG                65009
#define IDS_UNSAVABLE_CHARACTERS        65010
#define IDS_FILES_UTF8                  65011
