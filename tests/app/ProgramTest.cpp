// The tarvex program as a command: its options, and its end on a termination signal.

#include "app/CommandLine.h"
#include "tests/platform/PlatformTestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

TEST(CommandLine, OptionsAndIgnoredArguments) {
    const TCommandLine Options = ParseCommandLine({"file.csv", "--simulate", "--DEBUG", "-x"});
    EXPECT_TRUE(Options.Simulate);
    EXPECT_FALSE(Options.Debug || Options.Help || Options.Version);
    EXPECT_TRUE(ParseCommandLine({"--debug", "--debug"}).Debug);
    EXPECT_TRUE(ParseCommandLine({"-h"}).Help);
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

TEST(Program, HelpAndVersionPrintAndExitWithoutAWindow) {
    for (const char* Option : {"--help", "--version"}) {
        std::unique_ptr<QProcess> Program(StartProgram({Option}, WithoutDisplay()));
        ASSERT_TRUE(Program->waitForFinished(10000)) << Option;
        EXPECT_EQ(Program->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(Program->exitCode(), 0);
        const std::string Output = Program->readAllStandardOutput().toStdString();
        EXPECT_NE(Output.find(std::string(Option) == "--help" ? "--simulate" : TARVEX_VERSION),
                  std::string::npos)
            << Output;
    }
    EXPECT_EQ(VersionText(), std::string("TARVEX ") + TARVEX_VERSION + "\n");
}

TEST(Program, TerminationSignalClosesTheWindowAndWritesTheSettings) {
    tests::TTempFolder Folder;
    QProcessEnvironment Environment = WithoutDisplay();
    Environment.insert("QT_QPA_PLATFORM", "offscreen");
    Environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Folder.Path().string()));
    std::unique_ptr<QProcess> Program(StartProgram({"--debug"}, Environment));
    const std::string Log = Folder.File("tarvex/tarvex.log");
    ASSERT_TRUE(tests::WaitUntil(
        [&] { return tests::ReadFileText(Log).find("...Recalculated.") != std::string::npos; },
        std::chrono::seconds(20)));
    Program->terminate();
    ASSERT_TRUE(Program->waitForFinished(10000));
    EXPECT_EQ(Program->exitStatus(), QProcess::NormalExit);
    const std::string Settings = tests::ReadFileText(Folder.File("tarvex/settings.ini"));
    for (const char* Key :
         {"units=metric", "pelet-weight=0.547", "speed-limit=999999", "energy-limit=999999",
          "language=9", "column_width_01=80", "column_width_02=80"})
        EXPECT_NE(Settings.find(Key), std::string::npos) << Key;
    EXPECT_NE(tests::ReadFileText(Log).find("...Tarvex is closed"), std::string::npos);
}

} // namespace
