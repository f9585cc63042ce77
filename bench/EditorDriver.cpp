// A headless run of the whole editor through the steps a person takes to
// replace every occurrence of a text in a file: start with the file on the
// command line, Tools > Find/Replace from the menu bar, type the find and the
// replacement texts, set Match case, Find, Replace all, Ctrl+S, Ctrl+Q. The
// program's own loop (AfxWinMain, CWinApp::Run, the modal loops) runs with a
// host that hands out one step's input at a time and notes the time between
// the step's first event and the next wait for input, which comes after the
// screen was repainted. Prints one line per step, and the memory figures
// when asked.
//
//   EditorDriver [options] FILE       the replace session on FILE
//   EditorDriver --quit [FILE]        start (with FILE, if named) and quit
//
// Options:
//   --find TEXT       the find text (default "a")
//   --replace TEXT    the replacement (default "bb")
//   --match-case      tick Match case (default: off, case ignored)
//   --keys N          instead of replacing: go to the middle line and time N
//                     Backspaces and N typed letters one by one, then quit
//                     without saving
//   --resave          instead of replacing: Delete the first character and
//                     type "x" (the length stays, so a file at the size limit
//                     stays there), then Ctrl+S and Ctrl+Q
//   --cols C --rows R the screen (default 80x24)
//   --memory          also print the memory figures (reading them costs the
//                     process time, so timed runs leave them out)
//
// Output, one record a line:
//   step NAME WALL-MICROSECONDS CPU-MICROSECONDS PAGE-FAULTS
//   keys COUNT median WALL-MICROSECONDS max WALL-MICROSECONDS cpu-median CPU-MICROSECONDS
//   memory NAME KIB          VmHWM (with --memory): first-wait-hwm when the
//                            program first waits for input (started and
//                            idle), peak-hwm at the end
// The CPU time (the process's; it has one thread) tells the program's own
// work apart from waiting for a processor on a busy machine; the page faults
// (first touches of fresh memory) are a large part of that work.
// Anything the session did not expect (a message box, a beep, a script
// step that found nothing to click, the program still running at the end)
// is printed as "error ..." and makes the exit status 1.
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/app/WinApp.h"
#include "tests/support/HeadlessEditor.h"

namespace {

using Clock = std::chrono::steady_clock;

// A field of /proc/self/status in KiB, or -1.
long StatusKiB(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    size_t n = std::strlen(field);
    while (std::getline(in, line)) {
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::atol(line.c_str() + n + 1);
    }
    return -1;
}

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// The CPU time the process has used, in microseconds.
double CpuMicros()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// Minor page faults so far.
long Faults()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}

// The host that plays the session one step at a time. A step queues its
// input when its turn comes (so it may look at the screen as it is then);
// the step ends when the program next waits for input with nothing queued.
class SessionHost : public HeadlessHost {
public:
    struct Step {
        std::string name;
        std::function<void(SessionHost&)> queue;
    };
    struct Timing {
        std::string name;
        Clock::duration took;
        double cpu;  // microseconds
        long faults;
    };

    SessionHost(int cols, int rows) : HeadlessHost(cols, rows) {}

    void Add(std::string name, std::function<void(SessionHost&)> queue)
    {
        m_steps.push_back({std::move(name), std::move(queue)});
    }

    bool WaitEvent(InputEvent& event) override
    {
        // Replace all asks first when the text would pass its limit: the
        // answer is part of the same step.
        if (Pending() == 0 && m_yesIfAsked && MessageBoxes().size() > m_boxesBefore) {
            m_yesIfAsked = false;
            ++m_answered;
            ClickButton(u"Yes");
        }
        if (Pending() == 0) {
            Clock::time_point now = Clock::now();
            EndStep(now);
            if (m_waitHook) {
                m_waitHook();
                m_waitHook = nullptr;
            }
            if (m_next < m_steps.size()) {
                Step& step = m_steps[m_next++];
                m_yesIfAsked = false;
                step.queue(*this);
                m_current = step.name;
                m_startedFaults = Faults();
                m_startedCpu = CpuMicros();
                m_started = Clock::now();
            }
        }
        return HeadlessHost::WaitEvent(event);
    }
    // Ends the step in progress (the last one ends when the program returns).
    void EndStep(Clock::time_point now)
    {
        double cpu = CpuMicros();
        long faults = Faults();
        if (!m_current.empty())
            m_timings.push_back({m_current, now - m_started, cpu - m_startedCpu, faults - m_startedFaults});
        m_current.clear();
    }
    // Runs once, at the first wait for input: the program is idle then.
    void OnFirstWait(std::function<void()> hook) { m_waitHook = std::move(hook); }

    void Start(std::string name, Clock::time_point at, double cpu, long faults)
    {
        m_current = std::move(name);
        m_started = at;
        m_startedCpu = cpu;
        m_startedFaults = faults;
    }
    bool AllStepsTaken() const { return m_next == m_steps.size(); }
    // Within the step being queued, a question that comes up is answered Yes.
    void YesIfAsked()
    {
        m_yesIfAsked = true;
        m_boxesBefore = MessageBoxes().size();
    }
    // How many questions were answered so.
    size_t Answered() const { return m_answered; }
    const std::vector<Timing>& Timings() const { return m_timings; }

    // A tap on a control of the tool pane, where the tests' taps land.
    void Tap(int id)
    {
        CPoint at = support::TapPoint(support::HeadlessEditor::Tool()->GetDlgItem(id)->m_hWnd);
        Click(at.x, at.y);
    }
    // Tools > item, from the keyboard: Alt+T opens the menu on its first
    // item, Down moves to the next one, Enter chooses.
    void ToolsMenu(int item)
    {
        Alt('T');
        for (int i = 0; i < item; ++i)
            Key(VK_DOWN);
        Key(VK_RETURN, u'\r');
    }

private:
    std::vector<Step> m_steps;
    size_t m_next = 0;
    std::string m_current;
    Clock::time_point m_started;
    double m_startedCpu = 0;
    long m_startedFaults = 0;
    std::vector<Timing> m_timings;
    std::function<void()> m_waitHook;
    bool m_yesIfAsked = false;
    size_t m_boxesBefore = 0;
    size_t m_answered = 0;
};

struct Options {
    std::string file;
    std::u16string find = u"a";
    std::u16string replace = u"bb";
    bool matchCase = false;
    bool quit = false;
    bool memory = false;
    bool resave = false;
    int keys = 0;
    int cols = 80;
    int rows = 24;
};

int Usage()
{
    std::fprintf(stderr,
                 "usage: EditorDriver [--find TEXT] [--replace TEXT] [--match-case] [--keys N | --resave]\n"
                 "                    [--cols C --rows R] FILE\n"
                 "       EditorDriver --quit [FILE]\n");
    return 2;
}

bool Parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--find" && value(v))
            o.find = CString::FromUtf8(v).Str();
        else if (a == "--replace" && value(v))
            o.replace = CString::FromUtf8(v).Str();
        else if (a == "--match-case")
            o.matchCase = true;
        else if (a == "--quit")
            o.quit = true;
        else if (a == "--memory")
            o.memory = true;
        else if (a == "--resave")
            o.resave = true;
        else if (a == "--keys" && value(v))
            o.keys = std::atoi(v.c_str());
        else if (a == "--cols" && value(v))
            o.cols = std::atoi(v.c_str());
        else if (a == "--rows" && value(v))
            o.rows = std::atoi(v.c_str());
        else if (!a.empty() && a[0] != '-' && o.file.empty())
            o.file = a;
        else
            return false;
    }
    if (o.quit)
        return true;
    return !o.file.empty() && !o.find.empty() && o.keys >= 0 && o.cols > 0 && o.rows > 0;
}

// The replace session: the form, the texts, Match case, Find, Replace all,
// Ctrl+S and Ctrl+Q.
void AddReplaceSteps(SessionHost& host, const Options& o)
{
    host.Add("tools-find-replace", [](SessionHost& h) { h.ToolsMenu(0); });
    // The find field has the focus when the form opens.
    host.Add("type-find", [o](SessionHost& h) { h.Type(o.find); });
    host.Add("type-replace", [o](SessionHost& h) {
        h.Tap(IDC_REPLACE_TEXT);
        h.Type(o.replace);
    });
    if (o.matchCase)
        host.Add("match-case", [](SessionHost& h) { h.Tap(IDC_MATCH_CASE); });
    host.Add("find", [](SessionHost& h) { h.Tap(IDC_FIND); });
    host.Add("replace-all", [](SessionHost& h) {
        h.YesIfAsked();
        h.Tap(IDC_REPLACE_ALL);
    });
    host.Add("save", [](SessionHost& h) { h.Ctrl('S'); });
    host.Add("quit", [](SessionHost& h) { h.Ctrl('Q'); });
}

// Saving the text at the length it was opened with.
void AddResaveSteps(SessionHost& host)
{
    host.Add("edit", [](SessionHost& h) {
        h.Key(VK_DELETE);
        h.Type(u"x");
    });
    host.Add("save", [](SessionHost& h) { h.Ctrl('S'); });
    host.Add("quit", [](SessionHost& h) { h.Ctrl('Q'); });
}

// The typing session: go to the middle line, then each key its own step.
void AddKeySteps(SessionHost& host, const Options& o, int middleLine)
{
    host.Add("tools-goto", [](SessionHost& h) { h.ToolsMenu(1); });
    host.Add("goto-middle", [middleLine](SessionHost& h) {
        h.Type(CString::FromUtf8(std::to_string(middleLine)).Str());
        h.Tap(IDC_GOTO);
    });
    // Backspaces first: the file may be at the text limit, where typing
    // would be refused.
    for (int i = 0; i < o.keys; ++i)
        host.Add("key", [](SessionHost& h) { h.Key(VK_BACK, u'\b'); });
    for (int i = 0; i < o.keys; ++i)
        host.Add("key", [i](SessionHost& h) { h.Type(std::u16string(1, char16_t(u'a' + i % 26))); });
    host.Add("quit", [](SessionHost& h) {
        h.Ctrl('Q');
        h.OnModal([&h] { h.ClickButton(u"No"); });
    });
}

// Lines of the file, counted as the editor counts them ("\n" ends a line).
int LineCount(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    int lines = 1;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        lines += int(std::count(buffer, buffer + in.gcount(), '\n'));
        if (!in)
            break;
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv)
{
    Clock::time_point entered = Clock::now();
    double enteredCpu = CpuMicros();
    long enteredFaults = Faults();
    Options o;
    if (!Parse(argc, argv, o))
        return Usage();

    AfxSetResourceHandle(&TesselResources());
    SessionHost host(o.cols, o.rows);
    long firstWait = -1;
    if (o.memory)
        host.OnFirstWait([&] { firstWait = StatusKiB("VmHWM"); });
    if (o.quit) {
        host.Add("quit", [](SessionHost& h) { h.Ctrl('Q'); });
    } else if (o.keys > 0) {
        AddKeySteps(host, o, LineCount(o.file) / 2);
    } else if (o.resave) {
        AddResaveSteps(host);
    } else {
        AddReplaceSteps(host, o);
    }

    std::vector<std::string> args = {argv[0]};
    if (!o.file.empty())
        args.push_back(o.file);
    std::vector<char*> cargs;
    for (std::string& a : args)
        cargs.push_back(a.data());
    host.Start("start", entered, enteredCpu, enteredFaults);
    int code = AfxWinMain(host, int(cargs.size()), cargs.data());
    host.EndStep(Clock::now());
    long peak = o.memory ? StatusKiB("VmHWM") : -1;

    int errors = 0;
    std::vector<double> keys;
    std::vector<double> keysCpu;
    for (const auto& t : host.Timings()) {
        if (t.name == "key") {
            keys.push_back(Micros(t.took));
            keysCpu.push_back(t.cpu);
        } else {
            std::printf("step %s %.1f %.1f %ld\n", t.name.c_str(), Micros(t.took), t.cpu, t.faults);
        }
    }
    if (!keys.empty()) {
        std::sort(keys.begin(), keys.end());
        std::sort(keysCpu.begin(), keysCpu.end());
        std::printf("keys %zu median %.1f max %.1f cpu-median %.1f\n", keys.size(), keys[keys.size() / 2], keys.back(),
                    keysCpu[keysCpu.size() / 2]);
    }
    if (o.memory) {
        std::printf("memory first-wait-hwm %ld\n", firstWait);
        std::printf("memory peak-hwm %ld\n", peak);
    }

    if (!host.AllStepsTaken()) {
        std::printf("error the program stopped before the session ended\n");
        ++errors;
    }
    if (AfxGetMainWnd()) {
        std::printf("error the program did not quit\n");
        ++errors;
    }
    if (host.Starved() > 0) {
        std::printf("error %d step(s) found nothing to do\n", host.Starved());
        ++errors;
    }
    // The typing session's one expected box is the save prompt on quitting;
    // a replace-all past the limit asks first, and beeps once it is cut.
    size_t expectedBoxes = (o.keys > 0 ? 1 : 0) + host.Answered();
    for (size_t i = 0; i < host.MessageBoxes().size(); ++i) {
        if (i < expectedBoxes)
            continue;
        std::printf("error message box: %s\n", CString(host.MessageBoxes()[i].text).ToUtf8().c_str());
        ++errors;
    }
    if (host.Beeps().size() != host.Answered()) {
        std::printf("error %zu beep(s)\n", host.Beeps().size());
        ++errors;
    }
    if (code != 0) {
        std::printf("error exit code %d\n", code);
        ++errors;
    }
    return errors ? 1 : 0;
}
