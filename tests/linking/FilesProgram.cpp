// A program that uses the files' library alone: it prints a report of no shots to the PDF named on
// its command line. The check beside it looks at the libraries such a program loads.

#include "files/USeriesReport.h"

#include <QGuiApplication>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: files_program REPORT\n";
        return 2;
    }
    // Fonts are measured without a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);
    TReportContent Content;
    Content.Title = "TARVEX";
    WriteReportPdf(argv[1], Content, {});
    std::cout << "written\n";
    return 0;
}
