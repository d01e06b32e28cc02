#pragma once

// Shots from chronograph lines: the characters the chronograph sends are assembled into lines,
// each line is split into fields, and its speed and unit become a new shot.

#include "series/USeries.h"
#include "text/UAssocArray.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TShotReceiver {
public:
    // No chronograph record comes near this length. A device that sends bytes without ever
    // ending a line must not make the buffer grow without bound.
    static constexpr std::size_t LineBufferCap = 4096;

    // Series receives the new shots; a line that names no unit is in the series' display unit.
    explicit TShotReceiver(TSeries& Series);

    // The diagnostic log, the display's debounce timer, and the notice that a shot was dropped
    // because the series is full, given once until a shot is added again; each may stay unset.
    std::function<void(const std::string&)> Log;
    std::function<void()> RestartRecalculateTimer;
    std::function<void()> SeriesFull;
    // The local time a record is completed at; tests set their own clock.
    std::function<platform::TLocalTime()> Clock = platform::LocalTimeNow;

    // Takes the text of one read from the port. CR or LF ends a line; a line that does not
    // parse is dropped without a word, as the chronograph's noise should be.
    void ReceiveText(std::string_view Text);

    // The speed of a record and, in Unit, its unit (the display unit when the record has none).
    double ParseLine(const std::string& Line, std::string& Unit) const;
    // A speed written with "." or with the locale's decimal separator.
    static double ParseNumber(const std::string& Text);
    // Received is the time of a record from the chronograph; a shot from a file has none. False
    // when the series is full and the shot was dropped.
    bool AddShot(const std::string& Unit, double Speed,
                 std::optional<platform::TLocalTime> Received = std::nullopt);

    const std::string& LineBuffer() const { return FLineBuffer; }
    void ClearLineBuffer();
    const TAssocArray& HeaderMap() const { return FHeaderMap; }

private:
    void AppendToLine(std::string_view Characters);
    void EndLine();
    void WriteLog(const std::string& Message) const;

    TSeries& FSeries;
    TAssocArray FHeaderMap;
    std::string FLineBuffer;
    // Set while the rest of an over-long line is being thrown away.
    bool FDiscarding = false;
    // Set once a dropped shot was told, until a shot is added again.
    bool FToldFull = false;
};
