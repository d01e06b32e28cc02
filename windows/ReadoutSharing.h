#pragma once

// The live read-out shared with phones on the same network, as the windows see it: switched on
// and off from the live read-out's menu and from setup. The main window implements it.

#include <functional>
#include <string>
#include <vector>

class TReadoutSharing {
public:
    virtual ~TReadoutSharing() = default;

    // Told when sharing was switched on or off, or a phone came or went.
    std::function<void()> Changed;

    virtual bool Sharing() const = 0;
    // Switches sharing on with a new token, so that no address of an earlier time opens it;
    // raises std::runtime_error with the reason when its port cannot be had.
    virtual void StartSharing() = 0;
    // Every phone is let go and every address stops working.
    virtual void StopSharing() = 0;
    // The addresses a phone opens, one for each network address of the computer; none while off.
    virtual std::vector<std::string> Addresses() const = 0;
    // Phones following the read-out now.
    virtual int Phones() const = 0;
};
