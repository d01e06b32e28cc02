#pragma once

// A set of the members of a small enumeration, held as bits: member m is bit (1 << m).

#include <cstdint>
#include <initializer_list>

template <typename TEnum, int Count>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<TEnum> Members) {
        for (const TEnum Member : Members)
            Include(Member);
    }

    static constexpr TEnumSet All() { return FromBits((1u << Count) - 1); }
    static constexpr TEnumSet FromBits(std::uint32_t Bits) {
        TEnumSet Result;
        Result.FBits = Bits & ((1u << Count) - 1);
        return Result;
    }

    constexpr bool Contains(TEnum Member) const { return FBits & Bit(Member); }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr std::uint32_t Bits() const { return FBits; }
    constexpr TEnumSet& Include(TEnum Member) {
        FBits |= Bit(Member);
        return *this;
    }
    constexpr TEnumSet& Exclude(TEnum Member) {
        FBits &= ~Bit(Member);
        return *this;
    }
    constexpr bool operator==(const TEnumSet&) const = default;

private:
    static constexpr std::uint32_t Bit(TEnum Member) {
        return 1u << static_cast<std::uint32_t>(Member);
    }
    std::uint32_t FBits = 0;
};
