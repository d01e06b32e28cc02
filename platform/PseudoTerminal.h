#pragma once

// Terminal devices that the program and its tools write chronograph lines into: a
// pseudo-terminal pair, whose slave side stands in for a chronograph's serial port, and an
// existing serial device opened raw.

#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

class ETerminalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How long a write waits for a device that takes no data before it raises.
inline constexpr std::chrono::milliseconds DefaultWriteTimeout{10000};

// A pseudo-terminal pair. The slave side is in raw mode: bytes pass unchanged, no echo, no
// CR/LF translation. The object keeps one slave descriptor of its own open until CloseMaster
// or destruction: on Linux a pair whose slave has been opened and closed by everyone makes the
// master fail with EIO and loses what was written, so the pair stays usable while a port under
// test opens and closes the slave path as often as it likes. That descriptor never reads.
class TPseudoTerminal {
public:
    TPseudoTerminal();
    ~TPseudoTerminal();
    TPseudoTerminal(const TPseudoTerminal&) = delete;
    TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

    // "/dev/pts/N": the path a reader opens.
    const std::string& SlavePath() const { return FSlavePath; }
    // The master descriptor, -1 after CloseMaster.
    int MasterHandle() const { return FMaster; }

    // Writes every byte towards the slave side; raises when the pair is closed or the slave
    // side takes nothing for Timeout.
    void Write(std::string_view Data, std::chrono::milliseconds Timeout = DefaultWriteTimeout);
    // What the slave side has written so far, without waiting.
    std::string ReadAvailable();
    // The "unplug": closes the master and the object's slave descriptor, so that a reader of
    // the slave sees a hang-up.
    void CloseMaster();

    // Bytes written that no reader has taken yet.
    std::size_t Unread() const;
    // Waits until readers have taken everything written; false when Timeout passed first.
    bool WaitUntilRead(std::chrono::milliseconds Timeout) const;

    // Whether a descriptor other than the object's own has the slave open: a reader, in this
    // process or another one of the same user (read from /proc, which shows each process's
    // descriptors).
    bool ReaderPresent() const;
    // Waits until ReaderPresent, at most Timeout; returns ReaderPresent.
    bool WaitForReader(std::chrono::milliseconds Timeout) const;

private:
    int FMaster = -1;
    int FSlave = -1;
    std::string FSlavePath;
};

// An existing terminal device (a real serial port) opened for writing: read-write, not as the
// controlling terminal, raw mode, 8 data bits, no parity, one stop bit, at Baud.
class TRawDevice {
public:
    TRawDevice(const std::string& Path, int Baud);
    ~TRawDevice();
    TRawDevice(const TRawDevice&) = delete;
    TRawDevice& operator=(const TRawDevice&) = delete;

    int Handle() const { return FFd; }
    void Write(std::string_view Data, std::chrono::milliseconds Timeout = DefaultWriteTimeout);
    // Waits until the device has sent everything written.
    void Drain();

private:
    int FFd = -1;
    std::string FPath;
};

} // namespace platform
