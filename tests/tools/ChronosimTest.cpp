// The simulator end to end: records read from the slave side of its pseudo-terminal, in this
// process and from the built program.

#include "platform/PseudoTerminal.h"
#include "simulator/Sender.h"
#include "tests/platform/PlatformTestSupport.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

using chronosim::TRecordGenerator;
using chronosim::TRecordOptions;
using tests::ReadUntil;
using tests::TTempFolder;

namespace {

std::function<bool(const std::string&)> Lines(std::size_t Count) {
    return [=](const std::string& Text) {
        return static_cast<std::size_t>(std::count(Text.begin(), Text.end(), '\n')) >= Count;
    };
}

std::string ExpectedText(TRecordOptions Options, int Count, const std::string& LineEnd) {
    TRecordGenerator Generator(std::move(Options));
    std::string Text;
    for (int i = 0; i < Count; ++i)
        Text += Generator.Next() + LineEnd;
    return Text;
}

// The built chronosim with its standard output on a pipe.
class TChronosim {
public:
    explicit TChronosim(std::vector<std::string> Args) {
        Args.insert(Args.begin(), CHRONOSIM_PROGRAM);
        std::vector<char*> Argv;
        for (std::string& Arg : Args)
            Argv.push_back(Arg.data());
        Argv.push_back(nullptr);
        int Pipe[2];
        EXPECT_EQ(::pipe2(Pipe, O_CLOEXEC), 0);
        posix_spawn_file_actions_t Actions;
        posix_spawn_file_actions_init(&Actions);
        posix_spawn_file_actions_adddup2(&Actions, Pipe[1], 1);
        posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
        EXPECT_EQ(::posix_spawn(&FPid, CHRONOSIM_PROGRAM, &Actions, nullptr, Argv.data(), environ),
                  0);
        posix_spawn_file_actions_destroy(&Actions);
        ::close(Pipe[1]);
        FOutput = Pipe[0];
    }
    ~TChronosim() {
        if (!FStatus) {
            ::kill(FPid, SIGKILL);
            ::waitpid(FPid, nullptr, 0);
        }
        ::close(FOutput);
    }
    TChronosim(const TChronosim&) = delete;
    TChronosim& operator=(const TChronosim&) = delete;

    pid_t Pid() const { return FPid; }
    std::string Output(std::size_t LineCount) { return ReadUntil(FOutput, Lines(LineCount)); }
    // The exit code, or nothing when the program has not ended within five seconds.
    std::optional<int> ExitCode() {
        tests::WaitUntil([&] {
            int Status = 0;
            if (::waitpid(FPid, &Status, WNOHANG) == FPid)
                FStatus = Status;
            return FStatus.has_value();
        });
        if (FStatus && WIFEXITED(*FStatus))
            return WEXITSTATUS(*FStatus);
        return std::nullopt;
    }

private:
    pid_t FPid = -1;
    int FOutput = -1;
    std::optional<int> FStatus;
};

int OpenSlave(const std::string& FirstLine) {
    const std::string Path = FirstLine.substr(0, FirstLine.find('\n'));
    return ::open(Path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

} // namespace

TEST(Chronosim, InProcessRunDeliversTheSeededRecordsIncludingBadLines) {
    TRecordOptions Records;
    Records.Seed = 11;
    Records.BadEvery = 4;
    chronosim::TSendOptions Sending;
    Sending.Count = 20;
    Sending.PauseMin = Sending.PauseMax = std::chrono::milliseconds(0);
    platform::TPseudoTerminal Pty;
    const int Reader = ::open(Pty.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(Reader, 0);

    chronosim::TStopSignal Stop;
    TRecordGenerator Generator(Records);
    std::thread Sender(
        [&] { chronosim::RunSender(Generator, Sending, chronosim::TPtyLineWriter(Pty), Stop); });
    const std::string Received = ReadUntil(Reader, Lines(20));
    Sender.join();
    ::close(Reader);
    EXPECT_EQ(Received, ExpectedText(Records, 20, "\r\n"));
}

TEST(Chronosim, ProgramPrintsThePathWaitsForTheReaderSendsTheCountAndEnds) {
    TTempFolder Folder;
    const std::string Stamps = Folder.File("stamps.txt");
    TChronosim Program({"--count", "5", "--interval-ms", "0", "--seed", "99", "--line-end", "lf",
                        "--weight", "0.547", "--wait-for-reader", "--timestamps", Stamps});
    const int Slave = OpenSlave(Program.Output(1));
    ASSERT_GE(Slave, 0);
    TRecordOptions Records;
    Records.Seed = 99;
    Records.Weight = "0.547";
    const std::string Expected = ExpectedText(Records, 5, "\n");
    EXPECT_EQ(ReadUntil(Slave, Lines(5)), Expected);
    EXPECT_EQ(Program.ExitCode(), 0);
    ::close(Slave);

    std::istringstream Lines(tests::ReadFileText(Stamps));
    std::istringstream ExpectedLines(Expected);
    long long Previous = 0, Ns = 0;
    std::string Text, Record;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(Lines >> Ns >> Text) << i;
        std::getline(ExpectedLines, Record);
        EXPECT_EQ(Text, Record);
        EXPECT_GE(Ns, Previous);
        Previous = Ns;
    }
    EXPECT_FALSE(Lines >> Ns);
}

TEST(Chronosim, ProgramEndsCleanlyOnSigtermAndHangsUpTheReader) {
    TChronosim Program({"--interval-ms", "20", "--wait-for-reader"});
    const int Slave = OpenSlave(Program.Output(1));
    ASSERT_GE(Slave, 0);
    EXPECT_NE(ReadUntil(Slave, Lines(1)).find("m/s\r\n"), std::string::npos);
    ::kill(Program.Pid(), SIGTERM);
    EXPECT_EQ(Program.ExitCode(), 0);
    pollfd Poll{Slave, POLLIN, 0};
    ReadUntil(Slave, [](const std::string&) { return false; }); // drain to the hang-up
    EXPECT_EQ(::poll(&Poll, 1, 0), 1);
    EXPECT_NE(Poll.revents & POLLHUP, 0);
    ::close(Slave);
}

TEST(Chronosim, ProgramExplainsItsOptionsAndRefusesBadOnes) {
    TChronosim Help({"--help"});
    EXPECT_NE(Help.Output(30).find("--interval-range"), std::string::npos);
    EXPECT_EQ(Help.ExitCode(), 0);
    TChronosim Bad({"--unit", "km/h"});
    EXPECT_EQ(Bad.ExitCode(), 2);
}
