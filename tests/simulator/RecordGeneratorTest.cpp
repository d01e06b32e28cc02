#include "simulator/RecordGenerator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vector>

using chronosim::FormatFixed;
using chronosim::TRecordGenerator;
using chronosim::TRecordOptions;
using testing::MatchesRegex;

namespace {

std::vector<std::string> Take(TRecordOptions Options, int Count) {
    TRecordGenerator Generator(std::move(Options));
    std::vector<std::string> Records;
    for (int i = 0; i < Count; ++i)
        Records.push_back(Generator.Next());
    return Records;
}

TRecordOptions Seeded(std::uint64_t Seed) {
    TRecordOptions Options;
    Options.Seed = Seed;
    return Options;
}

double SpeedOf(const std::string& Record) {
    double Speed = -1;
    std::from_chars(Record.data(), Record.data() + std::min(Record.find(';'), Record.size()),
                    Speed);
    return Speed;
}

} // namespace

TEST(FormatFixed, WritesAPointAndTheAskedDecimalsWhateverTheLocale) {
    EXPECT_EQ(FormatFixed(175.0, 2), "175.00");
    EXPECT_EQ(FormatFixed(175.526, 2), "175.53");
    EXPECT_EQ(FormatFixed(575.94, 1), "575.9");
    EXPECT_EQ(FormatFixed(175.5, 0), "176");
    EXPECT_EQ(FormatFixed(0.0, 3), "0.000");
    EXPECT_EQ(FormatFixed(123456.789, 6), "123456.789000");
}

TEST(RecordGenerator, SameSeedSameRecordsOtherSeedOtherRecords) {
    const auto First = Take(Seeded(42), 50);
    EXPECT_EQ(Take(Seeded(42), 50), First);
    EXPECT_NE(Take(Seeded(43), 50), First);
}

TEST(RecordGenerator, RecordsHaveTheWireFormat) {
    for (const std::string& Record : Take(Seeded(1), 200))
        EXPECT_THAT(Record, MatchesRegex("1[0-9][0-9]\\.[0-9][0-9];m/s"));

    TRecordOptions Imperial = Seeded(1);
    Imperial.Unit = "fps";
    Imperial.Mean = 575.0;
    Imperial.Decimals = 1;
    Imperial.Weight = "8.44";
    Imperial.WeightUnit = "gr";
    EXPECT_THAT(Take(Imperial, 1)[0], MatchesRegex("5[0-9][0-9]\\.[0-9];fps;8\\.44;gr"));

    TRecordOptions Whole = Seeded(1);
    Whole.Decimals = 0;
    EXPECT_THAT(Take(Whole, 1)[0], MatchesRegex("1[0-9][0-9];m/s"));
}

TEST(RecordGenerator, SpeedsFollowTheAskedMeanAndSpread) {
    TRecordOptions Options = Seeded(7);
    Options.Mean = 250.0;
    Options.Spread = 4.0;
    Options.Decimals = 3;
    double Sum = 0, SumOfSquares = 0;
    const auto Records = Take(Options, 4000);
    for (const std::string& Record : Records) {
        const double Speed = SpeedOf(Record);
        Sum += Speed;
        SumOfSquares += Speed * Speed;
    }
    const double Mean = Sum / 4000;
    EXPECT_NEAR(Mean, 250.0, 0.5);
    EXPECT_NEAR(std::sqrt(SumOfSquares / 4000 - Mean * Mean), 4.0, 0.3);

    Options.Spread = 0;
    EXPECT_EQ(Take(Options, 1)[0], "250.000;m/s");
    Options.Trend = -0.25; // from the second shot on
    EXPECT_THAT(Take(Options, 3),
                testing::ElementsAre("250.000;m/s", "249.750;m/s", "249.500;m/s"));
    Options.Trend = 0;
    Options.Mean = 1;
    Options.Spread = 50; // never a negative speed
    for (const std::string& Record : Take(Options, 500))
        EXPECT_GE(SpeedOf(Record), 0.0) << Record;
}

TEST(RecordGenerator, EveryNthRecordIsABadLineWithoutALineEnd) {
    TRecordOptions Options = Seeded(3);
    Options.BadEvery = 3;
    const auto Records = Take(Options, 30);
    for (std::size_t i = 0; i < Records.size(); ++i) {
        const bool Bad = (i + 1) % 3 == 0;
        EXPECT_EQ(testing::Value(Records[i], MatchesRegex("1[0-9][0-9]\\.[0-9][0-9];m/s")), !Bad)
            << i << ": " << Records[i];
        EXPECT_EQ(Records[i].find_first_of("\r\n"), std::string::npos);
    }
    EXPECT_EQ(Records[2], "ERR;;");
    EXPECT_EQ(Records[5], ";m/s");
    EXPECT_EQ(Records[8].size(), 8u);
    EXPECT_EQ(Records[11], "ERR;;");
}
