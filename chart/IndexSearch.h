#pragma once

// Searches over the indexes of a sorted list, for a predicate that is false up to some index and
// true from there on.

#include <algorithm>
#include <ranges>

// The first index of From..End - 1 where Holds is true, End when there is none.
template <typename TPredicate>
int FirstIndex(int From, int End, TPredicate Holds) {
    const auto Indexes = std::views::iota(From, std::max(From, End));
    const auto First = std::ranges::partition_point(Indexes, [&](int i) { return !Holds(i); });
    return From + static_cast<int>(First - Indexes.begin());
}

// The same, searching outwards from From in growing steps: cheap when the index lies near From,
// as the next pixel column of a long series does.
template <typename TPredicate>
int NearFirstIndex(int From, int End, TPredicate Holds) {
    int Step = 1;
    while (From < End && !Holds(From)) {
        const int Next = From + Step;
        if (Next >= End || Holds(Next))
            return FirstIndex(From + 1, std::min(Next, End), Holds);
        From = Next + 1;
        Step *= 2;
    }
    return std::min(From, End);
}
