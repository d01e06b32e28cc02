#pragma once

// The class library's own texts (the Yes and No of a question, the labels of the file dialogs and
// their overwrite question) in the user's language, from the translations installed with it.

#include <QObject>
#include <string>

class QTranslator;

namespace platform {

class TQtTranslations : public QObject {
public:
    explicit TQtTranslations(QObject* Parent = nullptr);

    // LanguageCode as "cs" or "de"; any language without installed translations, English
    // among them, gives the library's English texts.
    void Use(const std::string& LanguageCode);

private:
    QTranslator* FTranslator;
};

} // namespace platform
