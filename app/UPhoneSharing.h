#pragma once

// The main window's side of sharing the live read-out with phones: the web server while sharing
// is on, and the read-out it shows, made again after every change of the series or the settings.
// Changes that come together (a burst of shots, a loaded file) make one read-out.

#include "app/UDisplaySettings.h"
#include "series/USeries.h"
#include "windows/ReadoutSharing.h"

#include <QObject>
#include <memory>

class TPhoneServer;

class TPhoneSharing final : public TReadoutSharing {
public:
    TPhoneSharing(const TSeries& Series, const TDisplaySettings& Settings);
    ~TPhoneSharing() override;

    bool Sharing() const override { return FServer != nullptr; }
    // On every network address, at the port of the settings file.
    void StartSharing() override;
    void StopSharing() override;
    std::vector<std::string> Addresses() const override;
    int Phones() const override;

    // The series or a setting changed: the phones follow as soon as the change is complete.
    void Follow();

private:
    void Publish();
    void Tell() const;

    const TSeries& FSeries;
    const TDisplaySettings& FSettings;
    std::unique_ptr<TPhoneServer> FServer;
    QObject FContext;
    bool FPending = false;
};
