#include "platform/ByteQueue.h"

#include <algorithm>
#include <cstring>

namespace platform {

void TByteQueue::Append(const char* Bytes, std::size_t Count) {
    if (Count == 0)
        return;
    if (FSize + Count > FRing.size())
        Grow(FSize + Count);
    const std::size_t Tail = (FHead + FSize) % FRing.size();
    const std::size_t First = std::min(Count, FRing.size() - Tail);
    std::memcpy(FRing.data() + Tail, Bytes, First);
    std::memcpy(FRing.data(), Bytes + First, Count - First);
    FSize += Count;
}

std::size_t TByteQueue::Take(char* Target, std::size_t Count) {
    Count = std::min(Count, FSize);
    if (Count == 0)
        return 0;
    const std::size_t First = std::min(Count, FRing.size() - FHead);
    std::memcpy(Target, FRing.data() + FHead, First);
    std::memcpy(Target + First, FRing.data(), Count - First);
    FHead = (FHead + Count) % FRing.size();
    FSize -= Count;
    return Count;
}

void TByteQueue::Clear() {
    FHead = FSize = 0;
}

void TByteQueue::Grow(std::size_t Needed) {
    std::vector<char> Ring(std::max({Needed, 2 * FRing.size(), std::size_t{4096}}));
    const std::size_t Kept = FSize;
    Take(Ring.data(), Kept);
    FRing.swap(Ring);
    FHead = 0;
    FSize = Kept;
}

} // namespace platform
