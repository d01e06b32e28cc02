#pragma once

// Reads a PDF back as a person would see it, through poppler's command-line tools.

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <string>

namespace tests {

// What a poppler tool prints about the file; the tool gets a bounded time.
inline std::string PopplerOutput(const QString& Tool, const QStringList& Arguments) {
    QProcess Process;
    Process.start(Tool, Arguments);
    EXPECT_TRUE(Process.waitForFinished(60000)) << Tool.toStdString();
    EXPECT_EQ(Process.exitCode(), 0) << Process.readAllStandardError().toStdString();
    return Process.readAllStandardOutput().toStdString();
}

inline std::string PdfText(const std::string& Path) {
    return PopplerOutput("pdftotext", {"-layout", QString::fromStdString(Path), "-"});
}

inline int PageCount(const std::string& Path) {
    const QString Info =
        QString::fromStdString(PopplerOutput("pdfinfo", {QString::fromStdString(Path)}));
    return QRegularExpression(R"(Pages:\s+(\d+))").match(Info).captured(1).toInt();
}

} // namespace tests
