#include "platform/ByteQueue.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

// Appends and takes of many sizes, through growth and around the end of the ring, against a
// plain string that does the same.
TEST(ByteQueue, GivesBackEveryByteInOrderThroughGrowthAndWrapping) {
    platform::TByteQueue Queue;
    std::string Expected;
    std::mt19937 Random(17);
    std::uniform_int_distribution<std::size_t> Size(0, 6000);
    char Next = 0;
    for (int Step = 0; Step < 2000; ++Step) {
        std::string Bytes(Size(Random) / (Step % 3 + 1), '\0');
        for (char& Byte : Bytes)
            Byte = Next++;
        Queue.Append(Bytes.data(), Bytes.size());
        Expected += Bytes;
        std::string Taken(Size(Random), '\0');
        Taken.resize(Queue.Take(Taken.data(), Taken.size()));
        ASSERT_EQ(Taken, Expected.substr(0, Taken.size())) << "step " << Step;
        Expected.erase(0, Taken.size());
        ASSERT_EQ(Queue.Size(), Expected.size()) << "step " << Step;
    }
    Queue.Clear();
    char Byte = 0;
    EXPECT_EQ(Queue.Take(&Byte, 1), 0u);
}

} // namespace
