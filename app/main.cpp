// TARVEX: the program entry.

#include "app/UMainForm.h"
#include "platform/FormatSettings.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char** argv) {
    QApplication Application(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setApplicationName("TARVEX");
    QApplication::setApplicationVersion(TARVEX_VERSION);
    platform::SetFormatSettings(platform::CorrectSeparators(platform::FormatSettings()));
    std::vector<std::string> Arguments;
    for (int i = 1; i < argc; ++i)
        Arguments.emplace_back(argv[i]);
    TMainForm MainForm(Arguments);
    MainForm.show();
    return QApplication::exec();
}
