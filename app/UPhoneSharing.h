#pragma once

// The main window's side of sharing the live read-out with phones: the web server while sharing
// is on, and the read-out it shows, made again after every change of the series or the settings.
// Changes that come together (a burst of shots, a loaded file) make one read-out, and read-outs
// follow each other no faster than a phone's screen would show them, so that sharing never
// slows the recording.

#include "app/UDisplaySettings.h"
#include "series/USeries.h"
#include "text/UTranslator.h"
#include "windows/ReadoutSharing.h"

#include <QObject>
#include <chrono>
#include <memory>

class TPhoneServer;

class TPhoneSharing final : public TReadoutSharing {
public:
    TPhoneSharing(const TSeries& Series, const TDisplaySettings& Settings);
    ~TPhoneSharing() override;

    // Told when sharing stopped because a read-out could not be made.
    std::function<void(const std::string& Reason)> Failed;

    bool Sharing() const override { return FServer != nullptr; }
    // At the port and address of the settings file: every network address of the computer
    // unless the file names one.
    void StartSharing() override;
    void StopSharing() override;
    std::vector<std::string> Addresses() const override;
    int Phones() const override;

    // The series or a setting changed: the phones follow as soon as the change is complete.
    void Follow();
    // The server while sharing is on.
    const TPhoneServer* Server() const { return FServer.get(); }

private:
    void Publish();
    void Tell() const;

    // About 40 read-outs a second at most; the first after a pause goes at once.
    static constexpr std::chrono::milliseconds Spacing{25};

    const TSeries& FSeries;
    const TDisplaySettings& FSettings;
    std::unique_ptr<TPhoneServer> FServer;
    const TTranslator FTranslator;
    QObject FContext;
    bool FPending = false;
    std::chrono::steady_clock::time_point FPublished;
};
