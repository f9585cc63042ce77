// Identifiers the framework reserves: standard commands, control-bar and pane
// window ids, and the framework's own string resources.
//
// As in WinUser.h, every identifier is a line of the form
//   inline constexpr UINT NAME = VALUE;
// so that resource scripts may use these names.
#pragma once

#include "framework/base/Types.h"

// The resource compiler reads one identifier per line: no formatter may wrap them.
// clang-format off

// Standard commands
inline constexpr UINT ID_FILE_NEW = 57600;
inline constexpr UINT ID_FILE_OPEN = 57601;
inline constexpr UINT ID_FILE_CLOSE = 57602;
inline constexpr UINT ID_FILE_SAVE = 57603;
inline constexpr UINT ID_FILE_SAVE_AS = 57604;
inline constexpr UINT ID_EDIT_CLEAR = 57632;
inline constexpr UINT ID_EDIT_CLEAR_ALL = 57633;
inline constexpr UINT ID_EDIT_COPY = 57634;
inline constexpr UINT ID_EDIT_CUT = 57635;
inline constexpr UINT ID_EDIT_FIND = 57636;
inline constexpr UINT ID_EDIT_PASTE = 57637;
inline constexpr UINT ID_EDIT_REPEAT = 57640;
inline constexpr UINT ID_EDIT_REPLACE = 57641;
inline constexpr UINT ID_EDIT_SELECT_ALL = 57642;
inline constexpr UINT ID_EDIT_UNDO = 57643;
inline constexpr UINT ID_EDIT_REDO = 57644;
inline constexpr UINT ID_WINDOW_SPLIT = 57653;
inline constexpr UINT ID_APP_ABOUT = 57664;
inline constexpr UINT ID_APP_EXIT = 57665;
inline constexpr UINT ID_HELP = 57670;
inline constexpr UINT ID_NEXT_PANE = 57680;
inline constexpr UINT ID_PREV_PANE = 57681;

// Window ids of control bars and splitter panes
inline constexpr UINT AFX_IDW_TOOLBAR = 59392;
inline constexpr UINT AFX_IDW_PANE_FIRST = 59648;
inline constexpr UINT AFX_IDW_PANE_LAST = 59903;

// Framework strings
inline constexpr UINT AFX_IDS_APP_TITLE = 57344;
inline constexpr UINT AFX_IDS_IDLEMESSAGE = 57345;
inline constexpr UINT AFX_IDS_OPENFILE = 61440;
inline constexpr UINT AFX_IDS_SAVEFILE = 61441;
inline constexpr UINT AFX_IDS_ALLFILTER = 61442;
inline constexpr UINT AFX_IDS_UNTITLED = 61443;
inline constexpr UINT AFX_IDS_UNNAMED_FILE = 61446;
inline constexpr UINT AFX_IDP_FAILED_TO_OPEN_DOC = 61697;
inline constexpr UINT AFX_IDP_FAILED_TO_SAVE_DOC = 61698;
inline constexpr UINT AFX_IDP_ASK_TO_SAVE = 61699;
inline constexpr UINT AFX_IDP_FAILED_TO_CREATE_DOC = 61700;
inline constexpr UINT AFX_IDP_FILE_TOO_LARGE = 61701;
inline constexpr UINT AFX_IDP_INTERNAL_FAILURE = 61704;
inline constexpr UINT AFX_IDP_PARSE_INT = 61712;
inline constexpr UINT AFX_IDP_FAILED_INVALID_FORMAT = 61728;
inline constexpr UINT AFX_IDP_FILE_NONE = 61856;  // + CFileException cause, 0..14

// Framework strings of our own platform layer (file dialogs)
inline constexpr UINT AFX_IDP_FILE_EXISTS_REPLACE = 61900;   // "%1 already exists.\nDo you want to replace it?"
inline constexpr UINT AFX_IDP_FILE_NOT_FOUND_CHECK = 61901;  // "%1\nFile not found.\nCheck the file name and try again."
inline constexpr UINT AFX_IDP_PATH_NOT_FOUND_CHECK = 61902;  // "%1\nPath does not exist.\nCheck the path and try again."
// ... and of the end of a session (written on standard error)
inline constexpr UINT AFX_IDP_RECOVERY_SAVED = 61903;   // "The unsaved text of %1 was written to %2."
inline constexpr UINT AFX_IDP_RECOVERY_FAILED = 61904;  // "The unsaved text of %1 was lost: %2"
// Why a crash wrote no copy: "It was half way through a change, so no copy of it was written."
inline constexpr UINT AFX_IDP_RECOVERY_MID_CHANGE = 61905;
// ... and of saving over a file that changed on disk
inline constexpr UINT AFX_IDP_FILE_CHANGED_ON_DISK = 61910;  // "%1 has been changed by another program. Save anyway?"
// "The text would pass its size limit; %1 replacements would be cut short. Replace all anyway?"
inline constexpr UINT AFX_IDP_REPLACE_PAST_LIMIT = 61911;
// "No backup copy of %1 could be made, so it was not saved." (CFileException::noBackup)
inline constexpr UINT AFX_IDP_FILE_NO_BACKUP = 61912;
// ... and of the recovery journal: what is offered at an open, and a
// journal that cannot be written
inline constexpr UINT AFX_IDP_JOURNAL_KEPT = 61913;
inline constexpr UINT AFX_IDP_JOURNAL_KEPT_UNTITLED = 61914;
inline constexpr UINT AFX_IDP_JOURNAL_LIVE = 61915;
inline constexpr UINT AFX_IDP_JOURNAL_SAVE_COPY = 61916;
inline constexpr UINT AFX_IDP_JOURNAL_FAILED = 61917;
// clang-format on
