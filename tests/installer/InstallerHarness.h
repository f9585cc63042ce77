// Runs setup's dialogs in the headless host, in a launcher folder the test
// makes, so the agreement file and the platform installers are real files
// and the started installers are real processes.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/io/FaultInjection.h"
#include "installer/SetupApp.h"
#include "installer/SetupResources.h"
#include "installer/res/resource.h"
#include "tests/support/HeadlessWindows.h"
#include "tests/support/ScratchFolder.h"

using support::ReadBytes;
using support::WriteBytes;

class InstallerTest : public ::testing::Test, public support::HeadlessWindows {
protected:
    // The launcher folder; its name has a blank, as folders people pick do.
    support::ScratchFolder scratch{"/tmp/setup test "};
    std::filesystem::path dir = scratch.Path();

    InstallerTest() { AfxSetResourceHandle(&SetupResources()); }

    void TearDown() override
    {
        EXPECT_EQ(host.Starved(), 0) << "a modal loop waited for input the test did not give";
        FaultInjection::Reset();
        AfxSetResourceHandle(&SetupResources());
    }

    // A platform installer in dir/folder. When it starts it writes a marker
    // beside itself: the name it was started under, each argument on a line
    // of its own, and its working folder. Then, if the launcher folder holds
    // a FIFO named "hold", it waits (20 s at most) for a line through it and
    // writes that line to "released" beside itself; so while the test has
    // not written to the FIFO, the installer cannot have ended.
    void MakeInstaller(const std::string& folder, const std::filesystem::path& base = {})
    {
        auto p = (base.empty() ? dir : base) / folder / "setup.exe";
        WriteBytes(p,
                   "#!/bin/sh\n"
                   "here=$(dirname \"$0\")\n"
                   "{ echo \"program:$0\"; echo \"argc:$#\"; for a in \"$@\"; do echo \"arg:$a\"; done;"
                   " echo \"cwd:$(pwd -P)\"; } > \"$here/marker.tmp\"\n"
                   "mv \"$here/marker.tmp\" \"$here/marker\"\n"
                   "if [ -p \"$here/../hold\" ]; then\n"
                   "  timeout 20 head -n 1 \"$here/../hold\" > \"$here/released.tmp\"\n"
                   "  mv \"$here/released.tmp\" \"$here/released\"\n"
                   "fi\n");
        std::filesystem::permissions(p, std::filesystem::perms::owner_all);
    }

    // The four shipped platform folders, each with its installer.
    void MakeAllInstallers(const std::filesystem::path& base = {})
    {
        for (const char* folder : {"PocketPC2002", "PocketPC", "HPCPro", "PalmSize"})
            MakeInstaller(folder, base);
    }

    // Waits (at most 10 s) for a file to appear and returns its content;
    // nullopt when it never did.
    static std::optional<std::string> WaitForFile(const std::filesystem::path& p)
    {
        for (int i = 0; i < 500; ++i) {
            if (std::filesystem::exists(p))
                return ReadBytes(p);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return std::nullopt;
    }

    // The marker of the installer in dir/folder, once it has started.
    std::optional<std::string> WaitForMarker(const std::string& folder, const std::filesystem::path& base = {})
    {
        return WaitForFile((base.empty() ? dir : base) / folder / "marker");
    }

    bool Ran(const std::string& folder, const std::filesystem::path& base = {})
    {
        return std::filesystem::exists((base.empty() ? dir : base) / folder / "marker");
    }

    // Makes the FIFO that holds every installer until Release.
    void MakeHold() { ASSERT_EQ(mkfifo((dir / "hold").c_str(), 0600), 0) << strerror(errno); }

    // Writes a line through the FIFO to the installer waiting on it; false
    // when no installer opened it within 10 s.
    bool Release(const std::string& line)
    {
        for (int i = 0; i < 500; ++i) {
            int fd = ::open((dir / "hold").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                bool ok = ::write(fd, line.data(), line.size()) == ssize_t(line.size());
                ::close(fd);
                return ok;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    // Runs setup as the launcher `name` in the test folder (or another).
    void Run(const std::string& name = "setup", const std::filesystem::path& folder = {})
    {
        // A fresh process takes its title from its own file name.
        theApp.m_pszAppName.Empty();
        theApp.SetUp(CString::FromBytes(((folder.empty() ? dir : folder) / name).string()), {});
        theApp.InitInstance();
    }

    // --- what the person sees ---

    // The window that takes input now: the dialog or message box on top.
    static HWND Active() { return WindowSystem::Get().ActiveTopLevel(); }
    static std::u16string Caption() { return Active() ? GetWindowText(Active()).Str() : std::u16string(); }
    // The agreement text box's text, wherever the agreement dialog is.
    std::u16string AgreementText()
    {
        HWND box = FindControl(u"End User License Agreement", IDC_AGREEMENT_TEXT);
        return box ? GetWindowText(box).Str() : u"(no agreement dialog)";
    }
    static HWND FindControl(std::u16string_view caption, int id)
    {
        for (HWND w = Active(); w; w = GetWindow(w, GW_OWNER))
            if (GetWindowText(w).Str() == caption)
                return GetDlgItem(w, id);
        return nullptr;
    }
    // A button of the active window, by its text.
    static HWND Button(std::u16string_view text)
    {
        HWND active = Active();
        if (!active)
            return nullptr;
        for (HWND child = GetWindow(active, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetClassName(child).CompareNoCase(u"BUTTON") == 0 && GetWindowText(child).Str() == text)
                return child;
        return nullptr;
    }
    // The text of the control that has the keyboard focus.
    static std::u16string Focused() { return GetFocus() ? GetWindowText(GetFocus()).Str() : u"(none)"; }
    static bool Enabled(std::u16string_view button)
    {
        HWND b = Button(button);
        return b && IsWindowEnabled(b);
    }
    // What the closed platform list shows in its field.
    std::string PlatformField()
    {
        HWND combo = FindControl(u"Platform Selection", IDC_PLATFORM_LIST);
        if (!combo)
            return "(no platform dialog)";
        CRect cells = GetWindowCells(combo);
        return Trim(Utf8Cells(cells.top, cells.left, cells.Width() - 1));
    }
    // The rows of the dropped-down list on the screen, top to bottom, inside
    // its frame.
    std::vector<std::string> DroppedRows()
    {
        std::vector<std::string> rows;
        HWND list = Active();
        if (!list)
            return rows;
        host.Screen();
        CRect cells = WindowSystem::Get().Viewport().ChildArea(list);
        for (int y = cells.top; y < cells.bottom; ++y)
            rows.push_back(Trim(Utf8Cells(y, cells.left, cells.Width())));
        return rows;
    }
    // Clicks the close box at the right end of the active window's caption.
    void ClickCloseBox()
    {
        CRect cells = GetWindowCells(Active());
        host.Click(cells.right - 2, cells.top);
    }
    // Clicks the platform list's field, which drops the list down.
    void ClickPlatformField()
    {
        HWND combo = FindControl(u"Platform Selection", IDC_PLATFORM_LIST);
        ASSERT_NE(combo, nullptr);
        CRect cells = GetWindowCells(combo);
        host.Click(cells.left + 2, cells.top);
    }
    // Clicks row `index` of the dropped-down list.
    void ClickDroppedRow(int index)
    {
        CRect cells = GetClientCells(Active());
        host.Click(cells.left + 1, cells.top + index);
    }

    static std::string Trim(std::string s)
    {
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        size_t start = s.find_first_not_of(' ');
        return start == std::string::npos ? std::string() : s.substr(start);
    }

private:
    std::string Utf8Cells(int y, int x, int width)
    {
        const Canvas& screen = host.Screen();
        std::u16string text;
        for (int i = x; i < x + width && i < screen.Cols(); ++i)
            text += screen.At(i, y).ch;
        return CString(text).ToUtf8();
    }
};
