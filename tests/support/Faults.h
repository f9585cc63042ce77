// Faults of the file layer: fault injection disarmed whatever a test leaves
// armed, a table row of injected faults, and the message a person reads.
#pragma once

#include <string>

#include "framework/io/FaultInjection.h"
#include "framework/io/FileException.h"

namespace support {

// Disarms fault injection at the start and at the end of its scope.
struct FaultReset {
    FaultReset() { FaultInjection::Reset(); }
    ~FaultReset() { FaultInjection::Reset(); }
    FaultReset(const FaultReset&) = delete;
    FaultReset& operator=(const FaultReset&) = delete;
};

// A system call that fails with err, and the cause the file layer reports.
struct FaultCase {
    const char* what;
    FaultInjection::Operation op;
    int err;
    int cause;
};

// The message of a file exception, as a message box shows it.
inline std::string MessageOf(const CFileException& e)
{
    CString text;
    e.GetErrorMessage(text);
    return text.ToUtf8();
}

}  // namespace support
