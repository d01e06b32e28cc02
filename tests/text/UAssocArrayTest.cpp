#include "text/UAssocArray.h"

#include <gtest/gtest.h>

namespace {

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
        ADD_FAILURE() << "no exception, expected: " << Message;
    } catch (const EAssocArrayException& E) {
        EXPECT_EQ(std::string(E.what()), Message);
    }
}

const TVariant One{std::int64_t{1}};

TEST(TAssocArrayTest, FailedAddsLeaveTheArrayUnchanged) {
    TAssocArray Map;
    EXPECT_EQ(Map.Add(One, "x"), 0);
    ExpectFailure([&] { Map.Add(One, "x"); }, "Cannot add. Key [x] just exists.");
    ExpectFailure([&] { Map.Add(One, "y", 0); }, "Cannot add. Index [0] is used.");
    EXPECT_EQ(Map.Items().size(), 1U);
}

TEST(TAssocArrayTest, ReservedSlotsStayFreeAndAppendsGoPastThem) {
    TAssocArray Map;
    EXPECT_EQ(Map.AddObject(One, nullptr, "k5", 5), 5);
    EXPECT_EQ(Map.Add(One, "k6"), 6);
    EXPECT_EQ(Map.Add(std::string("two"), "k2", 2), 2);
    EXPECT_EQ(Map.ValueAt(2), TVariant{std::string("two")});
    for (const int Free : {0, 4, 7, -1}) {
        ExpectFailure([&] { Map.ValueAt(Free); }, "Index " + std::to_string(Free) + " not used.");
    }
}

TEST(TAssocArrayTest, EmptyKeySearchEndsOnTheHighestSlotWithThatKey) {
    TAssocArray Map;
    EXPECT_EQ(Map.IndexOfKey(""), -1);
    Map.Add(One, "");
    Map.Add(One, "");
    EXPECT_EQ(Map.IndexOfKey(""), 1);
    Map.ReserveIndex(3);
    ExpectFailure([&] { Map.IndexOfKey(""); }, "Internal error. Found Key [] which is not used.");
}

TEST(TAssocArrayTest, KeyComparison) {
    TAssocArray Map;
    Map.Add(One, "Speed ž");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Map.FindValue("speed ž")));
    ExpectFailure([&] { Map.GetValue("speed ž"); }, "Key [speed ž] not found.");
    Map.CaseSensitive = false;
    EXPECT_EQ(Map.GetValue("sPEED ž"), One);
    EXPECT_EQ(Map.IndexOfKey("SPEED Ž"), -1);
}

TEST(TAssocArrayTest, DeletingAndDestroyingReleaseObjects) {
    int Released = 0;
    {
        TAssocArray Map;
        Map.AddObject(One, std::make_unique<TCountedObject>(Released), "a", -1);
        Map.AddObject(One, std::make_unique<TCountedObject>(Released), "b", 3);
        Map.DeleteAt(0);
        Map.DeleteAt(0);
        Map.DeleteAt(42);
        EXPECT_EQ(Released, 1);
        EXPECT_EQ(Map.IndexOfKey("a"), -1);
        EXPECT_EQ(Map.Add(One, "a"), 4);
    }
    EXPECT_EQ(Released, 2);
}

} // namespace
