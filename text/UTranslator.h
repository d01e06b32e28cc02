#pragma once

#include "text/UAssocArray.h"

#include <string>

// Language codes are the Windows primary language identifiers, which is how settings store them.
constexpr int LANG_CZECH = 5, LANG_GERMAN = 7, LANG_ENGLISH = 9;

// Translates the English user-interface texts into Czech or German from a built-in dictionary.
// The English text is the key; the language is passed with every lookup.
class TTranslator {
public:
    TTranslator();
    virtual ~TTranslator();

    // Raises EAssocArrayException when the language already has a text for Key.
    void AddTranslation(int Language, const std::string& Key, const std::string& Text);
    // One trailing ":" is kept out of the lookup and put back, so "Shots:" uses the entry of
    // "Shots". A text without an entry, and every English lookup, comes back unchanged.
    std::string Translate(const std::string& Text, int Language) const;
    static std::string LanguageName(int Language);
    // The two-letter code of the language ("cs", "de", "en").
    static std::string LanguageCode(int Language);
    const TAssocArray& Dictionary() const { return FDictionary; }

private:
    void FillDictionary();

    TAssocArray FDictionary;
};
