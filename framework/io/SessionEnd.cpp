#include "framework/io/SessionEnd.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t g_signal = 0;
volatile std::sig_atomic_t g_taken = 0;
}  // namespace

void SessionEnd::Request(int signal) noexcept
{
    if (!g_signal)
        g_signal = signal;
}

int SessionEnd::Pending() noexcept { return g_taken ? 0 : g_signal; }

int SessionEnd::Take() noexcept
{
    if (g_taken || !g_signal)
        return 0;
    g_taken = 1;
    return g_signal;
}

void SessionEnd::Reset() noexcept
{
    g_taken = 0;
    g_signal = 0;
}
