#include "framework/win/TextFaultInjection.h"

#include <utility>

namespace {

std::function<void(TextFaultInjection::Point)>& Hook()
{
    static std::function<void(TextFaultInjection::Point)> hook;
    return hook;
}

}  // namespace

void TextFaultInjection::SetHook(std::function<void(Point)> hook)
{
    Hook() = std::move(hook);
    s_armed = static_cast<bool>(Hook());
}

void TextFaultInjection::Reset()
{
    Hook() = nullptr;
    s_armed = false;
}

void TextFaultInjection::Call(Point point)
{
    // A copy, so that a hook may set another or reset while it runs.
    const std::function<void(Point)> hook = Hook();
    if (hook)
        hook(point);
}
