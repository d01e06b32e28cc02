#pragma once

// How much the shared read-out lets the network ask of the program. The bounds keep a phone that
// misbehaves, or anything else on the network, from holding up the recording of shots or the
// program's memory; tests shorten the times.

#include <chrono>
#include <cstdint>

struct TShareLimits {
    // Phones that follow the read-out at once; one more is asked to try again later.
    int Phones = 32;
    // Open connections of every kind: the phones' and the pages still being fetched.
    int Connections = 64;
    // A request of the page is a few hundred bytes; one that grows past this is no browser's.
    std::int64_t RequestBytes = 16 * 1024;
    // What a phone may leave untaken before only the newest read-out waits for it.
    std::int64_t UnsentBytes = 64 * 1024;
    // A connection that asks nothing for this long is closed; a browser opens a new one.
    std::chrono::milliseconds IdleRequest{20'000};
    // How often the phones hear from the program while no shot comes, and how long a phone may
    // leave that unanswered before it counts as gone (a phone that left the network sends
    // nothing to say so).
    std::chrono::milliseconds Heartbeat{5'000};
    std::chrono::milliseconds Silence{15'000};
};
