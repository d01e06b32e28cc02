// The tarvex program as a command: its options, and its end on a termination signal or a lost
// display.

#include "app/CommandLine.h"
#include "platform/TerminationSignals.h"
#include "tests/platform/PlatformTestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(CommandLine, OptionsIgnoredArgumentsAndUnknownOptions) {
    const TCommandLine Options = ParseCommandLine({"file.csv", "--simulate", "--DEBUG", "-x"});
    EXPECT_TRUE(Options.Simulate);
    EXPECT_FALSE(Options.Debug || Options.Help || Options.Version);
    EXPECT_EQ(Options.Unknown, "--DEBUG");
    const TCommandLine Twice = ParseCommandLine({"--debug", "--debug"});
    EXPECT_TRUE(Twice.Debug);
    EXPECT_EQ(Twice.Unknown, "");
    EXPECT_TRUE(ParseCommandLine({"-h"}).Help);
    // Qt's own options, as a desktop restoring its session passes them.
    EXPECT_EQ(
        ParseCommandLine({"-session", "1a2b_3", "-style=Fusion", "--platform", "xcb"}).Unknown, "");
}

// Runs the program with Arguments and no display at all.
QProcess* StartProgram(const QStringList& Arguments, const QProcessEnvironment& Environment) {
    auto* Program = new QProcess;
    Program->setProcessEnvironment(Environment);
    Program->start(TARVEX_EXECUTABLE, Arguments);
    return Program;
}

QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
    Environment.remove("DISPLAY");
    Environment.remove("WAYLAND_DISPLAY");
    Environment.remove("QT_QPA_PLATFORM");
    return Environment;
}

// The program on the given Qt platform, with its settings and log in Folder.
QProcessEnvironment InFolder(const tests::TTempFolder& Folder, const char* Platform) {
    QProcessEnvironment Environment = WithoutDisplay();
    Environment.insert("QT_QPA_PLATFORM", Platform);
    Environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Folder.Path().string()));
    Environment.insert("XDG_DATA_HOME", QString::fromStdString(Folder.File("data")));
    return Environment;
}

TEST(Program, HelpVersionAndUnknownOptionsAnswerWithoutAWindow) {
    const struct {
        const char* Option;
        int ExitCode;
        std::string Output, Errors;
    } Cases[] = {
        {"--help", 0, UsageText(), ""},
        {"--version", 0, std::string("TARVEX ") + TARVEX_VERSION + "\n", ""},
        {"--simluate", 2, "", "tarvex: unknown option '--simluate'\n" + UsageText()},
    };
    for (const auto& Case : Cases) {
        const tests::TTempFolder Folder;
        std::unique_ptr<QProcess> Program(
            StartProgram({Case.Option}, InFolder(Folder, "offscreen")));
        ASSERT_TRUE(Program->waitForFinished(10000)) << Case.Option;
        EXPECT_EQ(Program->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(Program->exitCode(), Case.ExitCode) << Case.Option;
        EXPECT_EQ(Program->readAllStandardOutput().toStdString(), Case.Output);
        EXPECT_EQ(Program->readAllStandardError().toStdString(), Case.Errors);
        EXPECT_FALSE(std::filesystem::exists(Folder.File("tarvex"))) << Case.Option;
    }
}

// Starts the program with its log on and waits until its window has been shown and filled.
std::unique_ptr<QProcess> StartShown(const tests::TTempFolder& Folder,
                                     const QProcessEnvironment& Environment) {
    std::unique_ptr<QProcess> Program(StartProgram({"--debug"}, Environment));
    const bool Shown = tests::WaitUntil(
        [&] {
            const std::string Log = tests::ReadFileText(Folder.File("tarvex/tarvex.log"));
            return Log.find("...Recalculated.") != std::string::npos;
        },
        std::chrono::seconds(20));
    return Shown ? std::move(Program) : nullptr;
}

// What the close button does: the settings are written and the log says the program is closed.
void ExpectClosedAsByTheCloseButton(QProcess& Program, const tests::TTempFolder& Folder,
                                    int ExitCode) {
    ASSERT_TRUE(Program.waitForFinished(10000));
    EXPECT_EQ(Program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(Program.exitCode(), ExitCode);
    const std::string Settings = tests::ReadFileText(Folder.File("tarvex/settings.ini"));
    for (const char* Key :
         {"units=metric", "pelet-weight=0.547", "speed-limit=999999", "energy-limit=999999",
          "language=9", "column_width_01=80", "column_width_02=80"})
        EXPECT_NE(Settings.find(Key), std::string::npos) << Key;
    const std::string Log = tests::ReadFileText(Folder.File("tarvex/tarvex.log"));
    EXPECT_NE(Log.find("...Tarvex is closed"), std::string::npos);
}

TEST(Program, TerminationSignalsCloseTheWindowAndWriteTheSettings) {
    for (const int Signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(Signal));
        const tests::TTempFolder Folder;
        const auto Program = StartShown(Folder, InFolder(Folder, "offscreen"));
        ASSERT_TRUE(Program);
        ::kill(static_cast<pid_t>(Program->processId()), Signal);
        ExpectClosedAsByTheCloseButton(*Program, Folder, 0);
    }
}

// "nohup tarvex" must survive the terminal it was started from.
TEST(Program, SignalIgnoredAtTheStartStaysIgnored) {
    struct sigaction Ignore {
    }, Saved{}, During{}, After{};
    Ignore.sa_handler = SIG_IGN;
    sigaction(SIGHUP, &Ignore, &Saved);
    {
        const platform::TTerminationSignals Signals([] {});
        sigaction(SIGHUP, nullptr, &During);
    }
    sigaction(SIGHUP, &Saved, &After);
    EXPECT_EQ(During.sa_handler, SIG_IGN);
    EXPECT_EQ(After.sa_handler, SIG_IGN);
}

// Qt's X11 platform ends the program with exit(1) when the X server goes away.
TEST(Program, LostDisplayClosesTheWindowAndWritesTheSettings) {
    QProcess Server;
    Server.setStandardErrorFile(QProcess::nullDevice());
    // -displayfd picks a free display and reports its number once the server accepts clients.
    Server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp"});
    ASSERT_TRUE(Server.waitForStarted(10000))
        << "Xvfb is needed (package xvfb): " << Server.errorString().toStdString();
    QByteArray Display;
    ASSERT_TRUE(tests::WaitUntil(
        [&] {
            Server.waitForReadyRead(100);
            Display += Server.readAllStandardOutput();
            return Display.contains('\n');
        },
        std::chrono::seconds(10)));
    const tests::TTempFolder Folder;
    QProcessEnvironment Environment = InFolder(Folder, "xcb");
    Environment.insert("DISPLAY", ":" + QString::fromLatin1(Display.trimmed()));
    const auto Program = StartShown(Folder, Environment);
    ASSERT_TRUE(Program);
    Server.terminate();
    ASSERT_TRUE(Server.waitForFinished(10000));
    ExpectClosedAsByTheCloseButton(*Program, Folder, 1);
}

} // namespace
