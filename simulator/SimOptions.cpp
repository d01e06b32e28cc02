#include "simulator/SimOptions.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <random>

namespace chronosim {
namespace {

template <typename T>
T ParseNumber(const std::string& Option, const std::string& Text, T Min, T Max) {
    T Value{};
    const char* End = Text.data() + Text.size();
    const auto [Ptr, Error] = std::from_chars(Text.data(), End, Value);
    if (Error != std::errc() || Ptr != End || Text.empty())
        throw EUsageError(Option + ": '" + Text + "' is not a number");
    if (!(Value >= Min && Value <= Max))
        throw EUsageError(Option + ": " + Text + " is out of range");
    return Value;
}

std::chrono::milliseconds ParseMs(const std::string& Option, const std::string& Text) {
    return std::chrono::milliseconds(ParseNumber<std::int64_t>(Option, Text, 0, 86'400'000));
}

void ParseRange(TSimOptions& Options, const std::string& Option, const std::string& Text) {
    const std::size_t Dash = Text.find('-');
    if (Dash == std::string::npos)
        throw EUsageError(Option + ": '" + Text + "' is not a range such as 1000-3000");
    Options.Sending.PauseMin = ParseMs(Option, Text.substr(0, Dash));
    Options.Sending.PauseMax = ParseMs(Option, Text.substr(Dash + 1));
    if (Options.Sending.PauseMin > Options.Sending.PauseMax)
        throw EUsageError(Option + ": the range " + Text + " ends before it starts");
}

std::string OneOf(const std::string& Option, const std::string& Text,
                  std::initializer_list<const char*> Allowed) {
    for (const char* Choice : Allowed)
        if (Text == Choice)
            return Text;
    throw EUsageError(Option + ": '" + Text + "' is not one of the allowed values");
}

TLineEnd ParseLineEnd(const std::string& Option, const std::string& Text) {
    const std::string Choice = OneOf(Option, Text, {"crlf", "cr", "lf"});
    return Choice == "cr" ? TLineEnd::Cr : Choice == "lf" ? TLineEnd::Lf : TLineEnd::CrLf;
}

using THandler = std::function<void(TSimOptions&, const std::string& Option, const std::string&)>;

const std::map<std::string, THandler>& ValueOptions() {
    using O = TSimOptions;
    using S = const std::string&;
    static const std::map<std::string, THandler> Handlers = {
        {"--count",
         [](O& o, S n, S v) { o.Sending.Count = ParseNumber<std::uint64_t>(n, v, 0, UINT64_MAX); }},
        {"--interval-ms",
         [](O& o, S n, S v) { o.Sending.PauseMin = o.Sending.PauseMax = ParseMs(n, v); }},
        {"--interval-range", [](O& o, S n, S v) { ParseRange(o, n, v); }},
        {"--mean", [](O& o, S n, S v) { o.Records.Mean = ParseNumber(n, v, 0.0, 1e6); }},
        {"--spread", [](O& o, S n, S v) { o.Records.Spread = ParseNumber(n, v, 0.0, 1e6); }},
        {"--trend", [](O& o, S n, S v) { o.Records.Trend = ParseNumber(n, v, -1e6, 1e6); }},
        {"--unit",
         [](O& o, S n, S v) {
             o.Records.Unit = OneOf(n, v, {"m/s", "fps"});
         }},
        {"--weight",
         [](O& o, S n, S v) {
             ParseNumber(n, v, 1e-6, 1e6);
             o.Records.Weight = v;
         }},
        {"--weight-unit",
         [](O& o, S n, S v) {
             o.Records.WeightUnit = OneOf(n, v, {"g", "gr"});
         }},
        {"--decimals", [](O& o, S n, S v) { o.Records.Decimals = ParseNumber(n, v, 0, 6); }},
        {"--line-end", [](O& o, S n, S v) { o.Sending.LineEnd = ParseLineEnd(n, v); }},
        {"--bad-every",
         [](O& o, S n, S v) { o.Records.BadEvery = ParseNumber(n, v, 0, INT32_MAX); }},
        {"--seed",
         [](O& o, S n, S v) { o.Records.Seed = ParseNumber<std::uint64_t>(n, v, 0, UINT64_MAX); }},
        {"--device", [](O& o, S, S v) { o.Device = v; }},
        {"--baud", [](O& o, S n, S v) { o.Baud = ParseNumber(n, v, 1, 4'000'000); }},
        {"--timestamps", [](O& o, S, S v) { o.TimestampsFile = v; }},
    };
    return Handlers;
}

} // namespace

TSimOptions ParseSimOptions(const std::vector<std::string>& Args) {
    TSimOptions Options;
    Options.Records.Seed = (std::uint64_t(std::random_device()()) << 32) | std::random_device()();
    bool WeightUnitGiven = false;
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const std::string& Option = Args[i];
        const auto Handler = ValueOptions().find(Option);
        if (Option == "--help" || Option == "-h")
            Options.Help = true;
        else if (Option == "--wait-for-reader")
            Options.WaitForReader = true;
        else if (Handler == ValueOptions().end())
            throw EUsageError("Unknown option '" + Option + "' (see --help)");
        else if (i + 1 == Args.size())
            throw EUsageError(Option + " needs a value");
        else
            Handler->second(Options, Option, Args[++i]);
        WeightUnitGiven = WeightUnitGiven || Option == "--weight-unit";
    }
    if (!WeightUnitGiven && Options.Records.Unit == "fps")
        Options.Records.WeightUnit = "gr";
    Options.Sending.Seed = Options.Records.Seed;
    return Options;
}

std::string UsageText() {
    return "Usage: chronosim [options]\n"
           "Simulates a ballistic chronograph: sends one record per shot, such as\n"
           "\"175.52;m/s\", to a new pseudo-terminal (its path is the first line written to\n"
           "standard output) or to an existing serial device. Records sent while no program\n"
           "has the pseudo-terminal open are lost, as on a serial line nobody listens to.\n"
           "\n"
           "  --device PATH          write to this serial device instead of a pseudo-terminal\n"
           "  --baud N               speed of --device (default 19200)\n"
           "  --wait-for-reader      start sending when a program has opened the pseudo-terminal\n"
           "  --count N              number of records, 0 for endless (default 0)\n"
           "  --interval-ms MS       pause between records (default 2000; 0 = at once)\n"
           "  --interval-range A-B   a random pause from A to B milliseconds, e.g. 1000-3000\n"
           "  --mean V               mean speed (default 175.0)\n"
           "  --spread SD            standard deviation of the speed (default 1.5)\n"
           "  --trend D              change of the mean speed per shot, e.g. -0.2 (default 0)\n"
           "  --unit m/s|fps         speed unit (default m/s)\n"
           "  --weight G             add the pellet weight fields, e.g. 0.547\n"
           "  --weight-unit g|gr     unit of the pellet weight (default g; gr with fps)\n"
           "  --decimals N           decimals of the speed, 0 to 6 (default 2)\n"
           "  --line-end crlf|cr|lf  record terminator (default crlf)\n"
           "  --bad-every N          make every Nth record a bad line (default 0: none)\n"
           "  --seed N               seed of the random numbers, for repeatable runs\n"
           "  --timestamps FILE      write each record's monotonic send time in nanoseconds\n"
           "                         and its text to FILE, one line each\n"
           "  --help                 show this text\n"
           "\n"
           "Ends after --count records or on SIGINT/SIGTERM, once the output has drained.\n";
}

} // namespace chronosim
