// Runs setup's dialogs in the headless host, in a launcher folder the test
// makes, so the agreement file and the platform installers are real files
// and the started installers are real processes.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "framework/host/HeadlessHost.h"
#include "framework/win/WindowSystem.h"
#include "installer/SetupApp.h"
#include "installer/SetupResources.h"

class InstallerTest : public ::testing::Test {
protected:
    HeadlessHost host{80, 24};
    std::filesystem::path dir;

    void SetUp() override
    {
        AfxSetResourceHandle(&SetupResources());
        WindowSystem::Get().SetHost(&host);
        char tmpl[] = "/tmp/setup test XXXXXX";
        dir = mkdtemp(tmpl);
    }

    void TearDown() override
    {
        EXPECT_EQ(host.Starved(), 0) << "a modal loop waited for input the test did not give";
        WindowSystem::Get().Reset();
        WindowSystem::Get().SetHost(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    void WriteFile(const std::filesystem::path& p, const std::string& bytes)
    {
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }

    // A platform installer that writes its arguments and working folder to
    // a marker file beside it, then lingers so the launcher cannot wait.
    void MakeInstaller(const std::string& folder)
    {
        auto p = dir / folder / "setup.exe";
        WriteFile(p, "#!/bin/sh\n{ echo \"ran\"; echo \"args:$*\"; pwd; } > \"$(dirname \"$0\")/marker.tmp\"\n"
                     "mv \"$(dirname \"$0\")/marker.tmp\" \"$(dirname \"$0\")/marker\"\nsleep 2\n");
        std::filesystem::permissions(p, std::filesystem::perms::owner_all);
    }

    // Waits (boundedly) for a marker file to appear.
    bool WaitForMarker(const std::string& folder, std::string* content = nullptr)
    {
        auto p = dir / folder / "marker";
        for (int i = 0; i < 200; ++i) {
            if (std::filesystem::exists(p)) {
                if (content) {
                    std::ifstream in(p);
                    content->assign(std::istreambuf_iterator<char>(in), {});
                }
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    // Runs setup as the launcher named `name` in the test folder.
    void Run(const std::string& name = "setup")
    {
        theApp.SetUp(CString::FromUtf8((dir / name).string()), {});
        theApp.InitInstance();
    }
};
