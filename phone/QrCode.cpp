#include "phone/QrCode.h"

#include <memory>
#include <qrencode.h>
#include <stdexcept>

TQrCode EncodeQr(const std::string& Text) {
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> Code(
        QRcode_encodeString8bit(Text.c_str(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!Code)
        throw std::runtime_error("The address does not fit into a QR code: " + Text);
    TQrCode Result;
    Result.Size = Code->width;
    Result.Dark.reserve(static_cast<std::size_t>(Code->width) * Code->width);
    // libqrencode keeps a module's colour in the lowest bit of its byte.
    for (int i = 0; i < Code->width * Code->width; ++i)
        Result.Dark.push_back((Code->data[i] & 1) != 0);
    return Result;
}
