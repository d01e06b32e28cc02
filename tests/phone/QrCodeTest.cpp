#include "phone/QrCode.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Read back by zbar, as a phone's camera would read the window's code.
std::string Scanned(const TQrCode& Code) {
    constexpr int Module = 4, Quiet = 4;
    const int Side = (Code.Size + 2 * Quiet) * Module;
    QImage Picture(Side, Side, QImage::Format_Grayscale8);
    Picture.fill(255);
    for (int Y = 0; Y < Side; ++Y)
        for (int X = 0; X < Side; ++X) {
            const int CX = X / Module - Quiet, CY = Y / Module - Quiet;
            if (CX >= 0 && CY >= 0 && CX < Code.Size && CY < Code.Size && Code.At(CX, CY))
                Picture.setPixel(X, Y, 0);
        }
    const QTemporaryDir Folder;
    const QString File = Folder.filePath("code.png");
    Picture.save(File);
    QProcess Scanner;
    Scanner.start("zbarimg", {"--raw", "-q", File});
    EXPECT_TRUE(Scanner.waitForFinished(30000));
    return Scanner.readAllStandardOutput().trimmed().toStdString();
}

TEST(QrCode, TheAddressReadsBackAndOneTooLongIsRefused) {
    for (const std::string Address :
         {"http://192.168.1.20:8520/0123456789abcdef0123456789abcdef/",
          "http://[fd00::1a2b:3c4d]:65535/fedcba9876543210fedcba9876543210/"}) {
        const TQrCode Code = EncodeQr(Address);
        EXPECT_EQ(Code.Dark.size(), static_cast<std::size_t>(Code.Size * Code.Size));
        EXPECT_EQ(Scanned(Code), Address);
    }
    EXPECT_THROW(EncodeQr(std::string(4000, 'x')), std::runtime_error);
}

} // namespace
