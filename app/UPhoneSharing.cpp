#include "app/UPhoneSharing.h"

#include "phone/PhoneServer.h"
#include "phone/ShareAddresses.h"
#include "platform/NumberFormats.h"
#include "text/UTranslator.h"

#include <QTimer>

TPhoneSharing::TPhoneSharing(const TSeries& Series, const TDisplaySettings& Settings)
    : FSeries(Series), FSettings(Settings) {}

TPhoneSharing::~TPhoneSharing() = default;

void TPhoneSharing::StartSharing() {
    const int Port = FSettings.PhonePort();
    try {
        FServer = std::make_unique<TPhoneServer>(QHostAddress::Any, static_cast<quint16>(Port));
    } catch (const std::exception& Error) {
        const TTranslator Translator;
        throw std::runtime_error(
            platform::Format(Translator.Translate("The read-out cannot be shared on port %s: %s",
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
    if (FServer)
        for (const QHostAddress& Address : ShareAddresses())
            Urls.push_back(ShareUrl(Address, FServer->Port(), FServer->PagePath()));
    return Urls;
}

int TPhoneSharing::Phones() const {
    return FServer ? FServer->Phones() : 0;
}

void TPhoneSharing::Follow() {
    if (!FServer || std::exchange(FPending, true))
        return;
    QTimer::singleShot(0, &FContext, [this] { Publish(); });
}

void TPhoneSharing::Publish() {
    FPending = false;
    if (!FServer)
        return;
    const int Language = FSettings.Language();
    const TTranslator Translator;
    FServer->Publish(PhoneReadoutOf(
        FSeries,
        [&Translator, Language](const std::string& Text) {
            return Translator.Translate(Text, Language);
        },
        TTranslator::LanguageCode(Language)));
}

void TPhoneSharing::Tell() const {
    if (Changed)
        Changed();
}
