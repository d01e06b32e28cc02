#include "series/ShotReceiver.h"

#include "platform/NumberFormats.h"
#include "text/StringUtils.h"

#include <utility>

namespace {

// The fields of a chronograph record, in the order the chronograph sends them.
constexpr const char* RecordHeader = "speed;speed_unit;pelet_weight;pelet_weight_unit";

// Removes blanks and control characters at both ends.
std::string Trim(std::string_view Text) {
    const auto IsSpace = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!Text.empty() && IsSpace(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && IsSpace(Text.back()))
        Text.remove_suffix(1);
    return std::string(Text);
}

} // namespace

TShotReceiver::TShotReceiver(TSeries& Series) : FSeries(Series) {
    MapHeader(RecordHeader, FHeaderMap);
}

void TShotReceiver::ReceiveText(std::string_view Text) {
    while (!Text.empty()) {
        const std::size_t LineEnd = Text.find_first_of("\r\n");
        AppendToLine(Text.substr(0, LineEnd));
        if (LineEnd == std::string_view::npos)
            return;
        EndLine();
        Text.remove_prefix(LineEnd + 1);
    }
}

void TShotReceiver::AppendToLine(std::string_view Characters) {
    if (FDiscarding || Characters.empty())
        return;
    // Blanks left over from blank lines count for nothing; they must not push a record out.
    if (FLineBuffer.size() + Characters.size() > LineBufferCap && Trim(FLineBuffer).empty())
        FLineBuffer.clear();
    if (FLineBuffer.size() + Characters.size() > LineBufferCap) {
        WriteLog("COM Buffer overflow: no line end within " + std::to_string(LineBufferCap) +
                 " characters, the line is discarded");
        FLineBuffer.clear();
        FDiscarding = true;
        return;
    }
    FLineBuffer += Characters;
}

void TShotReceiver::EndLine() {
    FDiscarding = false;
    WriteLog("COM Buffer: \"" + FLineBuffer + "\"");
    const std::string Line = Trim(FLineBuffer);
    if (Line.empty())
        return;
    try {
        std::string Unit;
        const double Speed = ParseLine(Line, Unit);
        if (AddShot(Unit, Speed, Clock()) && RestartRecalculateTimer)
            RestartRecalculateTimer();
    } catch (...) {
        // A line that is not a record is the chronograph's noise: it is dropped without a word.
    }
    FLineBuffer.clear();
}

double TShotReceiver::ParseLine(const std::string& Line, std::string& Unit) const {
    const TArrayOfString Fields = SplitText(Line, U';');
    const double Speed = ParseNumber(Trim(FieldByHeader("speed", Fields, FHeaderMap)));
    Unit = FieldByHeader("speed_unit", Fields, FHeaderMap, FSeries.Units().SpeedUnit);
    return Speed;
}

double TShotReceiver::ParseNumber(const std::string& Text) {
    return platform::StrToFloat(ReplaceAll(Text, ".", platform::FormatSettings().DecimalSeparator));
}

bool TShotReceiver::AddShot(const std::string& Unit, double Speed,
                            std::optional<platform::TLocalTime> Received) {
    WriteLog("Add new speed: " + platform::FloatToStr(Speed) + " " + Unit);
    if (FSeries.Append(TData(Unit, Speed, Received))) {
        FToldFull = false;
        return true;
    }
    WriteLog("The series is full: the shot is dropped");
    if (SeriesFull && !std::exchange(FToldFull, true))
        SeriesFull();
    return false;
}

void TShotReceiver::ClearLineBuffer() {
    FLineBuffer.clear();
    FDiscarding = false;
}

void TShotReceiver::WriteLog(const std::string& Message) const {
    if (Log)
        Log(Message);
}
