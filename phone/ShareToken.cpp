#include "phone/ShareToken.h"

#include <QRandomGenerator>
#include <array>
#include <cstdint>

TShareToken TShareToken::Random() {
    std::array<std::uint32_t, 4> Bits{};
    QRandomGenerator::system()->fillRange(Bits.data(), Bits.size());
    static constexpr char Digits[] = "0123456789abcdef";
    std::string Text;
    for (std::uint32_t Word : Bits)
        for (int Shift = 28; Shift >= 0; Shift -= 4)
            Text += Digits[(Word >> Shift) & 0xF];
    return TShareToken(std::move(Text));
}

bool TShareToken::Matches(std::string_view Candidate) const {
    unsigned Difference = Candidate.size() != FText.size() ? 1 : 0;
    for (std::size_t i = 0; i < FText.size(); ++i) {
        const char Given = i < Candidate.size() ? Candidate[i] : '\0';
        Difference |= static_cast<unsigned char>(FText[i] ^ Given);
    }
    return Difference == 0;
}
