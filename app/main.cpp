// TARVEX: the program entry.

#include "app/CommandLine.h"
#include "app/UMainForm.h"
#include "app/USimulatedChronograph.h"
#include "platform/FormatSettings.h"
#include "platform/TerminationSignals.h"
#include "resources/Pictures.h"

#include <QApplication>
#include <QStyleFactory>
#include <iostream>
#include <memory>

int main(int argc, char** argv) {
    const std::vector<std::string> Arguments(argv + 1, argv + argc);
    const TCommandLine Options = ParseCommandLine(Arguments);
    if (Options.Help || Options.Version) {
        std::cout << (Options.Help ? UsageText() : VersionText());
        return 0;
    }
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
    // Ctrl+C and the end of the session close the window as its close button does.
    const platform::TTerminationSignals Signals([&MainForm] { MainForm.close(); });
    MainForm.show();
    return QApplication::exec();
}
