// TARVEX: the program entry.

#include "app/CommandLine.h"
#include "app/UMainForm.h"
#include "platform/ExitHook.h"
#include "platform/FormatSettings.h"
#include "platform/TerminationSignals.h"
#include "resources/Pictures.h"
#include "simulator/USimulatedChronograph.h"

#include <QApplication>
#include <QStyleFactory>
#include <iostream>
#include <memory>
#include <optional>

namespace {

// The usage, the version or a refusal of the command line, which need no window; nullopt when
// the program is to start.
std::optional<int> AnswerWithoutWindow(const TCommandLine& Options) {
    if (!Options.Unknown.empty()) {
        std::cerr << "tarvex: unknown option '" << Options.Unknown << "'\n" << UsageText();
        return 2;
    }
    if (Options.Help || Options.Version) {
        std::cout << (Options.Help ? UsageText() : VersionText());
        return 0;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> Arguments(argv + 1, argv + argc);
    const TCommandLine Options = ParseCommandLine(Arguments);
    if (const std::optional<int> ExitStatus = AnswerWithoutWindow(Options))
        return *ExitStatus;
    QApplication Application(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setApplicationName("TARVEX");
    QApplication::setApplicationVersion(TARVEX_VERSION);
    QApplication::setWindowIcon(resources::Picture("tarvex.png"));
    platform::SetFormatSettings(platform::CorrectSeparators(platform::FormatSettings()));
    std::unique_ptr<TSimulatedChronograph> Simulated;
    if (Options.Simulate)
        Simulated = std::make_unique<TSimulatedChronograph>("Simulated chronograph");
    TMainForm MainForm(Arguments);
    // Ctrl+C, the end of the session and a closed terminal close the window as its close button
    // does.
    const platform::TTerminationSignals Signals([&MainForm] { MainForm.close(); });
    // A lost X connection ends the program through exit(), past the window's close: the hook
    // writes the settings then. Made after the window, it is disarmed before the window goes.
    const platform::TExitHook LostDisplay([&MainForm] { MainForm.FormDestroy(); });
    MainForm.show();
    return QApplication::exec();
}
