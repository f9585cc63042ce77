// JournalOffer: what opening a file, or starting without one, offers of
// the recovery journals (RecoveryJournal) others left behind.
//
// For a file: when the Tessel that kept unsaved text of it still runs, a
// message box says so (its process id) and asks whether to open the file
// anyway. When it no longer runs and its text differs from the file's, a
// message box says when the text was last kept (and names a NAME.save copy
// newer than the file) and asks whether to open it: Yes takes the kept
// text, No the file as it is on disk (the journal goes), Cancel nothing.
// A journal that holds what the file holds goes without a word. Untitled
// text is offered the same way at a start without a file.
#pragma once

#include <string>

#include "framework/base/String.h"
#include "framework/io/FileIdentity.h"

struct JournalOffer {
    enum Answer { kOpenFile, kOpenKept, kOpenNothing };
    Answer answer = kOpenFile;
    // kOpenKept: the kept text, the file as its writer had read it, and
    // the journal's name (taken over by this program).
    std::string text;
    FileIdentity identity;
    std::string name;

    // Asks about the journals of the file at path (a full path).
    static JournalOffer ForFile(const CString& path);
    // Asks about the untitled texts of programs that no longer run: Yes
    // takes one, No discards it and goes on to the next, Cancel stops.
    static JournalOffer ForUntitled();
};
