// TextFaultInjection: a hook that runs inside each change of a text's
// storage, at the moment the change is half made, so that tests can do
// there what a crash would (write the crash copy, or end the process) and
// see that nothing torn comes of it.
//
// The points: a gap move, its elements copied and its bounds not yet
// updated; a growth, the new storage taken and the gap's end not yet moved;
// a whole new text, taken and its gap not yet set; a replacement, the old
// text erased and the new not yet inserted. Every change of a GapBuffer
// passes its points, the line index's too. While no hook is set a point is
// one test of a flag. The hook is process-wide and not thread-safe, as the
// file layer's fault injection is; Reset removes it.
#pragma once

#include <functional>

class TextFaultInjection {
public:
    enum Point { ptMoveGap, ptGrow, ptAssign, ptReplace };

    static void SetHook(std::function<void(Point)> hook);
    static void Reset();

    // Called by the changes themselves.
    static void At(Point point)
    {
        if (s_armed)
            Call(point);
    }

private:
    static void Call(Point point);

    static inline bool s_armed = false;
};
