#include "platform/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace platform {

TQtTranslations::TQtTranslations(QObject* Parent)
    : QObject(Parent), FTranslator(new QTranslator(this)) {}

void TQtTranslations::Use(const std::string& LanguageCode) {
    QCoreApplication::removeTranslator(FTranslator);
    // "qt_xx" gathers the translations of every module of the library that the program uses.
    if (FTranslator->load(QString::fromStdString("qt_" + LanguageCode),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(FTranslator);
}

} // namespace platform
