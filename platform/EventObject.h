#pragma once

#include <initializer_list>

namespace platform {

// A manual-reset event that a thread can set while another waits on it.
class TEventObject {
public:
    explicit TEventObject(bool Signalled = false);
    ~TEventObject();
    TEventObject(const TEventObject&) = delete;
    TEventObject& operator=(const TEventObject&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    // Waits until the event is set; false when TimeoutMs (negative: no limit) passed first.
    bool Wait(int TimeoutMs = -1) const;
    int Descriptor() const { return FDescriptor; }

private:
    int FDescriptor;
};

// Waits until one of Events is set and returns its index (the lowest when several are set);
// -1 when TimeoutMs (negative: no limit) passed first.
int WaitForAny(std::initializer_list<const TEventObject*> Events, int TimeoutMs = -1);

} // namespace platform
