#pragma once

// A first-in, first-out queue of bytes kept in one ring of memory: taking a few bytes from the
// front of a long queue copies only those bytes. The ring grows, doubling, only when it is full.

#include <cstddef>
#include <vector>

namespace platform {

class TByteQueue {
public:
    std::size_t Size() const { return FSize; }
    void Append(const char* Bytes, std::size_t Count);
    // Moves up to Count bytes from the front into Target; returns how many it moved.
    std::size_t Take(char* Target, std::size_t Count);
    void Clear();

private:
    void Grow(std::size_t Needed);

    std::vector<char> FRing;
    std::size_t FHead = 0;
    std::size_t FSize = 0;
};

} // namespace platform
