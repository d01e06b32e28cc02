#pragma once

// The secret in a shared read-out's address. Whoever has it reads the shots; nobody else learns
// even that a read-out is there. A new one is drawn each time sharing is switched on, so an
// address seen yesterday opens nothing today.

#include <string>
#include <string_view>

class TShareToken {
public:
    // 128 bits from the operating system's random source, as 32 lower-case hexadecimal digits.
    static TShareToken Random();

    const std::string& Text() const { return FText; }
    // Takes as long whatever the first wrong character, so that timing the answers cannot
    // guess the token a character at a time.
    bool Matches(std::string_view Candidate) const;

private:
    explicit TShareToken(std::string Text) : FText(std::move(Text)) {}

    std::string FText;
};
