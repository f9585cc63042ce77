// SessionEnd: a request to end the session, made by a signal handler and
// served by the program's input loop.
//
// The handler only notes the signal; the loop then ends the session in
// order (unsaved text first). Until it does, file reads and opens that a
// signal interrupted are not tried again, and a read does not start: a
// program blocked or busy reading a file gets back to its loop, so that a
// signal always ends the session. Once the request is taken for serving,
// interrupted calls are retried as usual, so the recovery copy is written
// whole.
#pragma once

class SessionEnd {
public:
    // From a signal handler (async-signal-safe): notes the request. The
    // first signal counts; repeats change nothing.
    static void Request(int signal) noexcept;
    // The signal of a request not yet taken, or 0.
    static int Pending() noexcept;
    // Takes the request for serving: its signal, or 0 when there is none.
    static int Take() noexcept;
    // Forgets any request (a new session).
    static void Reset() noexcept;
};
