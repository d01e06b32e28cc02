#pragma once

// What the stress tests share: their sizes, the resources the process holds, chronograph
// records with known speeds, a writer that feeds a pseudo-terminal from a thread of its own, and
// the main window with its data folder in a temporary folder and scripted dialogs.

#include "app/UConnectionPanel.h"
#include "app/UMainForm.h"
#include "platform/PseudoTerminal.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ProcessStatus.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/ScriptedDialogs.h"

#include <QThreadPool>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace stress {

struct TStressSizes {
    int Unplugs;
    std::size_t GarbageBytes;
    int BurstRecords;
};

// Small enough for every test run; TARVEX_STRESS=long gives the full sizes (make stress).
inline TStressSizes StressSizes() {
    const char* Mode = std::getenv("TARVEX_STRESS");
    if (Mode && std::string_view(Mode) == "long")
        return {100, 1'000'000, 100'000};
    return {10, 200'000, 10'000};
}

struct TProcessResources {
    std::size_t Descriptors = 0;
    std::size_t Threads = 0;
    bool NoMoreThan(const TProcessResources& Other) const {
        return Descriptors <= Other.Descriptors && Threads <= Other.Threads;
    }
};

inline std::ostream& operator<<(std::ostream& Stream, const TProcessResources& Resources) {
    return Stream << Resources.Descriptors << " descriptors, " << Resources.Threads << " threads";
}

inline std::size_t EntriesIn(const std::filesystem::path& Folder) {
    std::size_t Count = 0;
    for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator(Folder))
        ++Count;
    return Count;
}

// The open descriptors (the one that lists them included, every time alike) and the threads.
// Qt converts images with threads of its global pool, which it keeps idle for a while; they are
// not the program's, so they are ended first.
inline TProcessResources ProcessResources() {
    QThreadPool::globalInstance()->waitForDone();
    return {EntriesIn("/proc/self/fd"), EntriesIn("/proc/self/task")};
}

using tests::StatusKiB;

// Record number Index: its speed is Index + 0.25, exact in binary, so that every shot can be
// traced back to the one record it came from.
inline std::string Record(int Index) {
    return std::to_string(Index) + ".25;m/s\r\n";
}
inline double RecordSpeed(int Index) {
    return Index + 0.25;
}
inline std::string Records(int First, int Count) {
    std::string Text;
    for (int Index = First; Index < First + Count; ++Index)
        Text += Record(Index);
    return Text;
}

// How many of Shots, from index From on, are records First, First + 1, ... in this order.
inline std::size_t MatchingRecords(const std::vector<TData>& Shots, std::size_t From, int First) {
    std::size_t Count = 0;
    while (From + Count < Shots.size() &&
           Shots[From + Count].Speed() == RecordSpeed(First + static_cast<int>(Count)) &&
           Shots[From + Count].SpeedUnit() == "M/S")
        ++Count;
    return Count;
}

// Writes into the device from its own thread: the user-interface thread, which the port's
// handlers run on, must stay free to take the bytes in while a pseudo-terminal's small buffer
// makes the writer wait.
class TDeviceWriter {
public:
    TDeviceWriter(platform::TPseudoTerminal& Device, std::string Bytes)
        : FThread([this, &Device, Bytes = std::move(Bytes)] { Run(Device, Bytes); }) {}
    ~TDeviceWriter() { FThread.join(); }
    TDeviceWriter(const TDeviceWriter&) = delete;
    TDeviceWriter& operator=(const TDeviceWriter&) = delete;

    bool Done() const { return FDone; }
    // Why the writing failed, once Done; empty when every byte was written.
    const std::string& Error() const { return FError; }

private:
    void Run(platform::TPseudoTerminal& Device, const std::string& Bytes) {
        try {
            Device.Write(Bytes);
        } catch (const std::exception& Failure) {
            FError = Failure.what();
        }
        FDone = true;
    }

    std::string FError;
    std::atomic<bool> FDone{false};
    std::thread FThread;
};

class StressTest : public testing::Test {
protected:
    // The figures a stress run reports, in the test's output.
    static void Report(const std::string& Figures) {
        std::cout << "[ figures  ] " << Figures << '\n';
    }

    std::unique_ptr<TMainForm> StartForm() {
        auto Form = std::make_unique<TMainForm>(std::vector<std::string>{});
        Form->show();
        return Form;
    }

    // Connects through the window, as the user's click on "Connect" does.
    static void Connect(TMainForm& Form, const platform::TPseudoTerminal& Device) {
        Form.pnlConnection->ComPort().SetPort(Device.SlavePath());
        Form.pnlConnection->btnConnectToCOMClick();
    }

    const TStressSizes Sizes = StressSizes();
    tests::TTempFolder Folder;
    TScopedEnvironment DataFolder{"XDG_CONFIG_HOME", Folder.Path().string()};
    TScopedEnvironment LibraryFolder{"XDG_DATA_HOME", Folder.File("data")};
    TScriptedDialogs Dialogs;
    TScopedFormatSettings Point{"."};
};

} // namespace stress
