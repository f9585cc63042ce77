// Resource ids of setup, shared by its resource script and its code.
#pragma once

#define IDR_MAINFRAME                   128
#define IDD_AGREEMENT                   102
#define IDD_PLATFORM                    129

#define IDC_PLATFORM_LIST               1001
#define IDC_AGREEMENT_TEXT              1003
#define IDC_STATIC                      (-1)

#define IDS_PLATFORM_NAMES              1
#define IDS_PLATFORM_FOLDERS            2
#define IDS_DISAGREE_NOTICE             3
#define IDS_QUIT_SETUP                  4
#define IDS_EULA_MISSING                5
#define IDS_EULA_TOO_LONG               6
