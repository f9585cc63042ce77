// CrashCopy: the unsaved text written to a recovery copy when the program
// crashes.
//
// A crash leaves no room for the program's usual code: a signal handler may
// make async-signal-safe calls only (no allocation, no locks, no stdio). So
// everything is prepared while the program runs normally: the names a copy
// may take, best first, and the lines that say what became of it. The text
// (up to a megabyte) is read in place, through a reader that its holder
// sets, and made into the bytes Save would write, in memory set aside for
// it, before any file is made: narrowed to one byte a character
// (NarrowUnits), or encoded as UTF-8 (Utf8Codec) when the reader says so.
// A copy never replaces a file: a name that is taken is tried again with
// ".1" to ".999" added, then the next name is tried. The copy is readable
// by its owner only. A text caught half way through a change (its holder
// says so) is not written at all: a copy holds the whole text or nothing,
// and the line says which.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CrashCopy {
public:
    // The text as up to two pieces in memory, in order.
    struct Pieces {
        const char16_t* data[2] = {nullptr, nullptr};
        std::size_t size[2] = {0, 0};
        // The text is half way through a change: the pieces may hold
        // neither the text before it nor the text after it.
        bool changing = false;
        // Written as UTF-8, kept bytes restored; else narrowed.
        bool utf8 = false;
    };
    // Reads where the text lies now. It runs in a signal handler, so it may
    // only read memory.
    using Reader = Pieces (*)(const void* source);

    // The text to write: reader(source) tells where it lies.
    static void SetText(Reader reader, const void* source);
    // No text any more, when source is the one set.
    static void ClearText(const void* source);

    // Numbers added to a taken name: ".1" to ".999", as at the end of a
    // session.
    static constexpr int kMaxNumber = 999;

    struct Plan {
        // Full names without a number ("/home/ann/notes.txt.save"), best
        // first; the system's bytes.
        std::vector<std::string> names;
        // The line that says where the text went is savedBefore, the name,
        // savedAfter; the one that says it could not be written is lost;
        // the one that says it was half way through a change is changing.
        // No line ends: the report ends each line. Everything reported is
        // made safe for the terminal first (SafeText), the names too.
        std::string savedBefore;
        std::string savedAfter;
        std::string lost;
        std::string changing;
    };
    // Arms the copy for the owner (a document with unsaved changes). Names
    // too long for the prepared room are left out.
    static void Arm(const void* owner, const Plan& plan);
    // Nothing to write any more, when owner is the one that armed it.
    static void Disarm(const void* owner);

    // Async-signal-safe. When armed and a text is set, writes it to the
    // first free name and says so, or that it failed or was half way
    // through a change, on reportFd (-1: nowhere). Returns whether a copy
    // was written.
    static bool Write(int reportFd) noexcept;
};
