#include "platform/EventObject.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace platform {

TEventObject::TEventObject(bool Signalled)
    : FDescriptor(eventfd(Signalled ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (FDescriptor < 0)
        throw std::runtime_error("Cannot create an event object (errno " + std::to_string(errno) +
                                 ")");
}

TEventObject::~TEventObject() {
    close(FDescriptor);
}

void TEventObject::Set() {
    const std::uint64_t One = 1;
    // A full counter means the event is set already; nothing is lost by ignoring the error.
    [[maybe_unused]] const ssize_t Written = write(FDescriptor, &One, sizeof One);
}

void TEventObject::Reset() {
    std::uint64_t Count = 0;
    [[maybe_unused]] const ssize_t Read = read(FDescriptor, &Count, sizeof Count);
}

bool TEventObject::IsSet() const {
    return Wait(0);
}

bool TEventObject::Wait(int TimeoutMs) const {
    return WaitForAny({this}, TimeoutMs) == 0;
}

int WaitForAny(std::initializer_list<const TEventObject*> Events, int TimeoutMs) {
    std::vector<pollfd> Entries;
    for (const TEventObject* Event : Events)
        Entries.push_back({Event->Descriptor(), POLLIN, 0});
    int Result;
    do
        Result = poll(Entries.data(), Entries.size(), TimeoutMs);
    while (Result < 0 && errno == EINTR);
    for (std::size_t i = 0; Result > 0 && i < Entries.size(); ++i)
        if (Entries[i].revents & POLLIN)
            return static_cast<int>(i);
    return -1;
}

} // namespace platform
