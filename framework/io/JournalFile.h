// JournalFile: the recovery journal of a document's unsaved text, one file
// per document and writer in the state folder (StateFolder), and what
// tells whether the Tessel that wrote it still runs.
//
// A journal's name comes from the document's full path, every "%", "/" and
// "~" and every control byte written as %XX, so that two paths never share
// one; a path too long for that gives "#" and a hash instead, and the
// path in the header decides. The writer's process id and start time
// follow: "%2Fhome%2Fann%2Fnotes.txt~4242-91234.journal"; an untitled
// text's is "untitled~4242-91234.journal".
//
// The file is a header of lines (the path and the host name as a length
// and their bytes, the file's identity when it was read, the writer's
// process id and start time, the time it was written, the text's length)
// and then the text, as Save would write it.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/io/FileIdentity.h"

struct JournalHeader {
    std::string path;  // empty for an untitled text
    FileIdentity identity;
    pid_t pid = 0;
    unsigned long long started = 0;  // the writer's start, in clock ticks since boot
    std::string host;
    long long written = 0;  // seconds since the epoch
};

struct Journal {
    std::string name;
    JournalHeader header;
    std::string text;
};

class JournalFile {
public:
    // This process's header for a document's path and its file's identity,
    // stamped with the time now.
    static JournalHeader OwnHeader(const std::string& path, const FileIdentity& identity);
    // The name this process's journal of path takes (empty path: untitled).
    static std::string NameFor(const std::string& path);
    // Writes the journal in folder (a descriptor): a new NAME.tmp made
    // without following links, 0600, synced, renamed over NAME, the folder
    // synced. A cut at any moment leaves the old journal or the new one
    // whole. 0, or the errno of the step that failed (NAME.tmp then goes).
    static int Write(int folder, const std::string& name, const JournalHeader& header, const std::string& text);
    // The journal by that name, if it is whole and readable.
    static std::optional<Journal> Read(int folder, const std::string& name);
    // Every journal in folder of path (empty: untitled texts), newest first.
    static std::vector<Journal> ForPath(int folder, const std::string& path);
    static void Remove(int folder, const std::string& name);
    // Whether the Tessel that wrote the header runs: on this host, a live
    // process with the same start time (a reused process id is no writer).
    static bool WriterRuns(const JournalHeader& header);
    // When the process started, in clock ticks since boot (0: unknown).
    static unsigned long long StartTimeOf(pid_t pid);
    // Whether this process wrote it.
    static bool IsOwn(const JournalHeader& header);
    // The header and text as stored, and back (nullopt when not whole).
    static std::string Encode(const JournalHeader& header, const std::string& text);
    static std::optional<std::pair<JournalHeader, std::string>> Decode(const std::string& bytes);
};
