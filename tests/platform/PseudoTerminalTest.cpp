#include "platform/PseudoTerminal.h"

#include "tests/platform/PlatformTestSupport.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <termios.h>

using platform::ETerminalError;
using platform::TPseudoTerminal;
using platform::TRawDevice;
using testing::HasSubstr;
using tests::AtLeastBytes;
using tests::ReadUntil;
using tests::WaitUntil;

namespace {

// A descriptor on the slave side, as a port under test would hold it.
class TSlaveReader {
public:
    explicit TSlaveReader(const std::string& Path)
        : FFd(::open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
    ~TSlaveReader() { Close(); }
    TSlaveReader(const TSlaveReader&) = delete;
    TSlaveReader& operator=(const TSlaveReader&) = delete;

    int Fd() const { return FFd; }
    std::string Read(std::size_t Count) { return ReadUntil(FFd, AtLeastBytes(Count)); }
    void Close() {
        if (FFd >= 0)
            ::close(FFd);
        FFd = -1;
    }

private:
    int FFd;
};

std::string AllByteValues() {
    std::string Bytes;
    for (int i = 0; i < 256; ++i)
        Bytes += static_cast<char>(i);
    return Bytes + "\r\n\r";
}

} // namespace

TEST(PseudoTerminal, PassesEveryByteUnchangedInBothDirections) {
    TPseudoTerminal Pty;
    TSlaveReader Reader(Pty.SlavePath());
    ASSERT_GE(Reader.Fd(), 0);
    const std::string Bytes = AllByteValues();
    Pty.Write(Bytes);
    EXPECT_EQ(Reader.Read(Bytes.size()), Bytes);

    ASSERT_EQ(::write(Reader.Fd(), "ok\n\r", 4), 4);
    std::string Echoed;
    EXPECT_TRUE(WaitUntil([&] { return (Echoed += Pty.ReadAvailable()).size() >= 4; }));
    EXPECT_EQ(Echoed, "ok\n\r");
    EXPECT_EQ(Pty.ReadAvailable(), ""); // nothing echoed back, nothing left

    termios Settings{};
    ASSERT_EQ(::tcgetattr(Pty.MasterHandle(), &Settings), 0);
    EXPECT_EQ(Settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(Settings.c_iflag & (ICRNL | INLCR | IGNCR | IXON), 0u);
    EXPECT_EQ(Settings.c_oflag & OPOST, 0u);
}

TEST(PseudoTerminal, StaysUsableWhileReadersOpenAndCloseTheSlave) {
    TPseudoTerminal Pty;
    for (int Round = 0; Round < 3; ++Round) {
        TSlaveReader Reader(Pty.SlavePath());
        Pty.Write("175.52;m/s\r\n");
        EXPECT_EQ(Reader.Read(12), "175.52;m/s\r\n") << Round;
    }
    Pty.Write("kept\n"); // written while no reader has the slave open
    TSlaveReader Late(Pty.SlavePath());
    EXPECT_EQ(Late.Read(5), "kept\n");
}

TEST(PseudoTerminal, CloseMasterHangsUpTheReaderAndEndsTheObject) {
    TPseudoTerminal Pty;
    TSlaveReader Reader(Pty.SlavePath());
    Pty.CloseMaster();
    pollfd Poll{Reader.Fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&Poll, 1, 5000), 1);
    EXPECT_NE(Poll.revents & POLLHUP, 0);
    EXPECT_EQ(Pty.MasterHandle(), -1);
    EXPECT_THROW(Pty.Write("x"), ETerminalError);
    EXPECT_THROW(Pty.ReadAvailable(), ETerminalError);
    EXPECT_FALSE(Pty.ReaderPresent());
    Pty.CloseMaster(); // twice is harmless
}

TEST(PseudoTerminal, CountsWhatNoReaderHasTakenYet) {
    TPseudoTerminal Pty;
    Pty.Write("0123456789");
    EXPECT_EQ(Pty.Unread(), 10u);
    EXPECT_FALSE(Pty.WaitUntilRead(std::chrono::milliseconds(20)));
    TSlaveReader Reader(Pty.SlavePath());
    EXPECT_EQ(Reader.Read(4).substr(0, 4), "0123");
    EXPECT_TRUE(Pty.WaitUntilRead(std::chrono::seconds(5)));
    EXPECT_EQ(Pty.Unread(), 0u);
}

TEST(PseudoTerminal, SeesReadersComeAndGo) {
    TPseudoTerminal Pty;
    EXPECT_FALSE(Pty.ReaderPresent());
    EXPECT_FALSE(Pty.WaitForReader(std::chrono::milliseconds(10)));
    {
        TSlaveReader First(Pty.SlavePath());
        TSlaveReader Second(Pty.SlavePath());
        EXPECT_TRUE(Pty.WaitForReader(std::chrono::seconds(5)));
        First.Close();
        EXPECT_TRUE(Pty.ReaderPresent());
    }
    EXPECT_TRUE(WaitUntil([&] { return !Pty.ReaderPresent(); }));
}

TEST(PseudoTerminal, AWriteNobodyTakesTimesOut) {
    TPseudoTerminal Pty;
    const std::string Flood(1 << 20, 'x');
    try {
        Pty.Write(Flood, std::chrono::milliseconds(50));
        FAIL() << "no error";
    } catch (const ETerminalError& Error) {
        EXPECT_THAT(Error.what(), HasSubstr("took no data for 50 ms"));
    }
}

TEST(RawDevice, OpensATerminalRawAtTheGivenSpeed) {
    TPseudoTerminal Pty;
    TRawDevice Device(Pty.SlavePath(), 19200);
    termios Settings{};
    ASSERT_EQ(::tcgetattr(Device.Handle(), &Settings), 0);
    EXPECT_EQ(::cfgetospeed(&Settings), speed_t(B19200));
    EXPECT_EQ(Settings.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(Settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    Device.Write("575.9;fps\r\n");
    Device.Drain();
    std::string Received;
    EXPECT_TRUE(WaitUntil([&] { return (Received += Pty.ReadAvailable()).size() >= 11; }));
    EXPECT_EQ(Received, "575.9;fps\r\n");
}

TEST(RawDevice, RefusesMissingDevicesAndUnknownSpeeds) {
    try {
        TRawDevice("/nonexistent/ttyUSB9", 19200);
        FAIL() << "no error";
    } catch (const ETerminalError& Error) {
        EXPECT_THAT(Error.what(), HasSubstr("/nonexistent/ttyUSB9"));
        EXPECT_THAT(Error.what(), HasSubstr("No such file or directory"));
    }
    TPseudoTerminal Pty;
    EXPECT_THROW(TRawDevice(Pty.SlavePath(), 12345), ETerminalError);
}
