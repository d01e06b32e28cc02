#pragma once

// What a phone shows of the series: the last shot as the laptop's live read-out shows it, the
// count, mean, standard deviation and extreme spread of the speeds as the main window shows
// them, and the last ten shots; every text finished in the user's language and display units,
// so that the page only places them.

#include "series/USeries.h"

#include <QByteArray>
#include <string>

// The shots a phone lists below the read-out, newest first.
inline constexpr std::size_t RecentShots = 10;

struct TPhoneReadout {
    // "cs", "de" or "en", for the page's language.
    std::string Language;
    // Shown by the page until it hears from the program.
    std::string Connecting;
    // The message that every page receives: the read-out as JSON.
    QByteArray Message;
};

TPhoneReadout PhoneReadoutOf(const TSeries& Series, const TTranslate& Translate,
                             const std::string& Language);
