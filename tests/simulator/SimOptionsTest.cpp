#include "simulator/SimOptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using chronosim::EUsageError;
using chronosim::ParseSimOptions;
using chronosim::TLineEnd;
using chronosim::TSimOptions;
using std::chrono::milliseconds;
using testing::HasSubstr;

TEST(SimOptions, DefaultsSendEndlessMetricRecordsEveryTwoSecondsToAPseudoTerminal) {
    const TSimOptions Options = ParseSimOptions({});
    EXPECT_EQ(Options.Sending.Count, 0u);
    EXPECT_EQ(Options.Sending.PauseMin, milliseconds(2000));
    EXPECT_EQ(Options.Sending.PauseMax, milliseconds(2000));
    EXPECT_EQ(Options.Sending.LineEnd, TLineEnd::CrLf);
    EXPECT_EQ(Options.Records.Mean, 175.0);
    EXPECT_EQ(Options.Records.Spread, 1.5);
    EXPECT_EQ(Options.Records.Unit, "m/s");
    EXPECT_EQ(Options.Records.Weight, "");
    EXPECT_EQ(Options.Records.Decimals, 2);
    EXPECT_EQ(Options.Device, "");
    EXPECT_EQ(Options.Baud, 19200);
    EXPECT_FALSE(Options.WaitForReader);
    EXPECT_FALSE(Options.Help);
    EXPECT_EQ(Options.Sending.Seed, Options.Records.Seed);
}

TEST(SimOptions, ReadsEveryOption) {
    const TSimOptions Options = ParseSimOptions({"--count",
                                                 "12",
                                                 "--interval-range",
                                                 "1000-3000",
                                                 "--mean",
                                                 "575.5",
                                                 "--spread",
                                                 "3",
                                                 "--trend",
                                                 "-0.2",
                                                 "--unit",
                                                 "fps",
                                                 "--weight",
                                                 "8.44",
                                                 "--decimals",
                                                 "1",
                                                 "--line-end",
                                                 "lf",
                                                 "--bad-every",
                                                 "5",
                                                 "--seed",
                                                 "18446744073709551615",
                                                 "--device",
                                                 "/dev/ttyUSB0",
                                                 "--baud",
                                                 "115200",
                                                 "--wait-for-reader",
                                                 "--timestamps",
                                                 "/tmp/t.txt",
                                                 "--help"});
    EXPECT_EQ(Options.Sending.Count, 12u);
    EXPECT_EQ(Options.Sending.PauseMin, milliseconds(1000));
    EXPECT_EQ(Options.Sending.PauseMax, milliseconds(3000));
    EXPECT_EQ(Options.Records.Mean, 575.5);
    EXPECT_EQ(Options.Records.Spread, 3.0);
    EXPECT_EQ(Options.Records.Trend, -0.2);
    EXPECT_EQ(Options.Records.Unit, "fps");
    EXPECT_EQ(Options.Records.Weight, "8.44");
    EXPECT_EQ(Options.Records.WeightUnit, "gr"); // the imperial weight unit goes with fps
    EXPECT_EQ(Options.Records.Decimals, 1);
    EXPECT_EQ(Options.Sending.LineEnd, TLineEnd::Lf);
    EXPECT_EQ(Options.Records.BadEvery, 5);
    EXPECT_EQ(Options.Records.Seed, 18446744073709551615ull);
    EXPECT_EQ(Options.Sending.Seed, Options.Records.Seed);
    EXPECT_EQ(Options.Device, "/dev/ttyUSB0");
    EXPECT_EQ(Options.Baud, 115200);
    EXPECT_TRUE(Options.WaitForReader);
    EXPECT_EQ(Options.TimestampsFile, "/tmp/t.txt");
    EXPECT_TRUE(Options.Help);

    const TSimOptions Fixed = ParseSimOptions(
        {"--interval-ms", "0", "--weight-unit", "g", "--unit", "fps", "--line-end", "cr"});
    EXPECT_EQ(Fixed.Sending.PauseMax, milliseconds(0));
    EXPECT_EQ(Fixed.Records.WeightUnit, "g");
    EXPECT_EQ(Fixed.Sending.LineEnd, TLineEnd::Cr);
}

TEST(SimOptions, RefusesWhatCannotBeFollowed) {
    const std::vector<std::vector<std::string>> Bad = {{"--speed", "1"},
                                                       {"--count"},
                                                       {"--count", "-1"},
                                                       {"--count", "12x"},
                                                       {"--count", ""},
                                                       {"--interval-ms", "1e3"},
                                                       {"--interval-range", "3000-1000"},
                                                       {"--interval-range", "1000"},
                                                       {"--mean", "nan"},
                                                       {"--spread", "-1"},
                                                       {"--trend", "x"},
                                                       {"--unit", "km/h"},
                                                       {"--unit", "M/S"},
                                                       {"--weight", "0"},
                                                       {"--weight-unit", "kg"},
                                                       {"--decimals", "7"},
                                                       {"--line-end", "crlf2"},
                                                       {"--baud", "0"},
                                                       {"--bad-every", "x"}};
    for (const auto& Args : Bad)
        EXPECT_THROW(ParseSimOptions(Args), EUsageError) << Args[0];
    try {
        ParseSimOptions({"--count", "12x"});
    } catch (const EUsageError& Error) {
        EXPECT_THAT(Error.what(), HasSubstr("--count: '12x' is not a number"));
    }
}
