#include "app/UPhoneSharing.h"

#include "phone/PhoneServer.h"
#include "phone/ShareAddresses.h"
#include "platform/NumberFormats.h"
#include "text/UTranslator.h"

#include <QTimer>

TPhoneSharing::TPhoneSharing(const TSeries& Series, const TDisplaySettings& Settings)
    : FSeries(Series), FSettings(Settings) {}

namespace {

// A mistyped address shares nothing rather than sharing on every network.
QHostAddress ListeningAddress(const std::string& Named) {
    if (Named.empty())
        return QHostAddress(QHostAddress::Any);
    const QHostAddress Address(QString::fromStdString(Named));
    if (Address.isNull())
        throw std::runtime_error("\"" + Named + "\" in settings.ini is not a network address");
    return Address;
}

} // namespace

TPhoneSharing::~TPhoneSharing() = default;

void TPhoneSharing::StartSharing() {
    const int Port = FSettings.PhonePort();
    try {
        const QHostAddress Address = ListeningAddress(FSettings.PhoneAddress());
        FServer = std::make_unique<TPhoneServer>(Address, static_cast<quint16>(Port));
    } catch (const std::exception& Error) {
        throw std::runtime_error(
            platform::Format(FTranslator.Translate("The read-out cannot be shared on port %s: %s",
                                                   FSettings.Language()),
                             {std::to_string(Port), std::string(Error.what())}));
    }
    FServer->PhonesChanged = [this] { Tell(); };
    Publish();
    Tell();
}

void TPhoneSharing::StopSharing() {
    FServer.reset();
    Tell();
}

std::vector<std::string> TPhoneSharing::Addresses() const {
    std::vector<std::string> Urls;
    if (!FServer)
        return Urls;
    const QHostAddress Listening = ListeningAddress(FSettings.PhoneAddress());
    const std::vector<QHostAddress> Reached = Listening == QHostAddress(QHostAddress::Any)
                                                  ? ShareAddresses()
                                                  : std::vector<QHostAddress>{Listening};
    for (const QHostAddress& Address : Reached)
        Urls.push_back(ShareUrl(Address, FServer->Port(), FServer->PagePath()));
    return Urls;
}

int TPhoneSharing::Phones() const {
    return FServer ? FServer->Phones() : 0;
}

void TPhoneSharing::Follow() {
    if (!FServer || std::exchange(FPending, true))
        return;
    const auto Due = FPublished + Spacing - std::chrono::steady_clock::now();
    const auto Wait =
        std::max(std::chrono::milliseconds(0), std::chrono::ceil<std::chrono::milliseconds>(Due));
    QTimer::singleShot(Wait, &FContext, [this] { Publish(); });
}

void TPhoneSharing::Publish() {
    FPending = false;
    if (!FServer)
        return;
    FPublished = std::chrono::steady_clock::now();
    const int Language = FSettings.Language();
    // Runs from a timer of the event loop: a failure stops sharing and is told.
    try {
        FServer->Publish(PhoneReadoutOf(
            FSeries,
            [this, Language](const std::string& Text) {
                return FTranslator.Translate(Text, Language);
            },
            TTranslator::LanguageCode(Language)));
    } catch (const std::exception& Error) {
        StopSharing();
        if (Failed)
            Failed(Error.what());
    }
}

void TPhoneSharing::Tell() const {
    if (Changed)
        Changed();
}
