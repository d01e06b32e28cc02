#include "text/UAssocArray.h"

#include <gtest/gtest.h>

namespace {

// Counts its own destruction so that tests can see when an entry releases it.
class TCountedObject : public TAssocObject {
public:
    explicit TCountedObject(int& Released) : FReleased(Released) {}
    ~TCountedObject() override { ++FReleased; }

private:
    int& FReleased;
};

template <typename Action>
void ExpectFailure(Action&& Act, const std::string& Message) {
    try {
        Act();
        FAIL() << "expected EAssocArrayException: " << Message;
    } catch (const EAssocArrayException& E) {
        EXPECT_EQ(std::string(E.what()), Message);
    }
}

TEST(TAssocArrayTest, DuplicateKeyIsRefusedAndLeavesTheArrayUnchanged) {
    TAssocArray Map;
    EXPECT_EQ(Map.Add(std::int64_t{1}, "x"), 0);
    ExpectFailure([&] { Map.Add(std::int64_t{2}, "x"); }, "Cannot add. Key [x] just exists.");
    ExpectFailure([&] { Map.Add(std::int64_t{2}, "y", 0); }, "Cannot add. Index [0] is used.");
    EXPECT_EQ(Map.Items().size(), 1U);
    EXPECT_EQ(Map.GetValue("x"), TVariant{std::int64_t{1}});
}

TEST(TAssocArrayTest, ReservedSlotsStayFreeAndAppendsGoPastThem) {
    TAssocArray Map;
    EXPECT_EQ(Map.AddObject(std::string("five"), nullptr, "k5", 5), 5);
    ASSERT_EQ(Map.Items().size(), 6U);
    for (int I = 0; I < 5; ++I) {
        EXPECT_FALSE(Map.Items()[static_cast<std::size_t>(I)].Used);
        ExpectFailure([&] { Map.ValueAt(I); }, "Index " + std::to_string(I) + " not used.");
    }
    EXPECT_EQ(Map.Add(std::string("six"), "k6"), 6);
    EXPECT_EQ(Map.Add(std::string("two"), "k2", 2), 2);
    EXPECT_EQ(Map.ValueAt(2), TVariant{std::string("two")});
    ExpectFailure([&] { Map.ValueAt(7); }, "Index 7 not used.");
    ExpectFailure([&] { Map.ValueAt(-1); }, "Index -1 not used.");
}

TEST(TAssocArrayTest, EmptyKeySearchEndsOnTheHighestSlotWithThatKey) {
    TAssocArray Map;
    EXPECT_EQ(Map.IndexOfKey(""), -1);
    Map.Add(std::int64_t{0}, "");
    Map.Add(std::int64_t{1}, "");
    EXPECT_EQ(Map.IndexOfKey(""), 1);
    Map.ReserveIndex(3);
    ExpectFailure([&] { Map.IndexOfKey(""); }, "Internal error. Found Key [] which is not used.");
}

TEST(TAssocArrayTest, LookupsOfAnAbsentKey) {
    TAssocArray Map;
    Map.Add(std::int64_t{0}, "Speed");
    EXPECT_EQ(Map.IndexOfKey("speed"), -1);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Map.FindValue("speed")));
    ExpectFailure([&] { Map.GetValue("speed"); }, "Key [speed] not found.");
    Map.CaseSensitive = false;
    EXPECT_EQ(Map.IndexOfKey("sPEED"), 0);
    EXPECT_EQ(Map.IndexOfKey("speed "), -1);
}

TEST(TAssocArrayTest, CaseInsensitiveCompareFoldsOnlyAsciiLetters) {
    TAssocArray Map;
    Map.CaseSensitive = false;
    Map.Add(std::int64_t{0}, "rychlost ž");
    EXPECT_EQ(Map.IndexOfKey("RYCHLOST ž"), 0);
    EXPECT_EQ(Map.IndexOfKey("RYCHLOST Ž"), -1);
}

TEST(TAssocArrayTest, DeletingAnEntryReleasesItsObjectAndFreesItsKey) {
    int Released = 0;
    TAssocArray Map;
    Map.AddObject(std::int64_t{7}, std::make_unique<TCountedObject>(Released), "a", -1);
    Map.DeleteAt(0);
    EXPECT_EQ(Released, 1);
    EXPECT_EQ(Map.IndexOfKey("a"), -1);
    EXPECT_EQ(Map.Add(std::int64_t{8}, "a"), 1);
    Map.DeleteAt(0);
    Map.DeleteAt(42);
    EXPECT_EQ(Map.Items().size(), 2U);
    EXPECT_EQ(Released, 1);
}

TEST(TAssocArrayTest, DestructionReleasesEveryObject) {
    int Released = 0;
    {
        TAssocArray Map;
        Map.AddObject(std::int64_t{1}, std::make_unique<TCountedObject>(Released), "a", 2);
        Map.AddObject(std::int64_t{2}, std::make_unique<TCountedObject>(Released), "b", 0);
    }
    EXPECT_EQ(Released, 2);
}

} // namespace
