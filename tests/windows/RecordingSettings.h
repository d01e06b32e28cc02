#pragma once

#include "windows/MainSettings.h"

#include <stdexcept>
#include <string>
#include <vector>

// The main window's settings as a plain record that remembers which setters ran, in order.
class TRecordingSettings final : public TMainSettings {
public:
    struct TCall {
        std::string Setter;
        double Value;
    };

    int LanguageCode = 9;
    bool Imperial = false;
    double Speed = 999999, Energy = 999999, Weight = 0.547, Spread = 3;
    std::vector<TCall> Calls;
    // Set, SetLanguage raises it, as a failing re-caption of the main window would.
    std::string LanguageError;

    int Language() const override { return LanguageCode; }
    double SpeedLimit() const override { return Speed; }
    double EnergyLimit() const override { return Energy; }
    double PeletWeight() const override { return Weight; }
    double UsableSpread() const override { return Spread; }
    std::string SpeedUnit() const override { return Imperial ? "fps" : "m/s"; }
    std::string EnergyUnit() const override { return Imperial ? "fpe" : "J"; }
    std::string WeightUnit() const override { return Imperial ? "gr" : "g"; }

    void SetLanguage(int Code) override {
        Record("SetLanguage", Code);
        if (!LanguageError.empty())
            throw std::runtime_error(LanguageError);
        LanguageCode = Code;
    }
    void SetSpeedLimit(double Value) override { Speed = Record("SetSpeedLimit", Value); }
    void SetEnergyLimit(double Value) override { Energy = Record("SetEnergyLimit", Value); }
    void SetPeletWeight(double Value) override { Weight = Record("SetPeletWeight", Value); }
    void SetUsableSpread(double Value) override { Spread = Record("SetUsableSpread", Value); }
    void SetMetric() override {
        Record("SetMetric", 0);
        Imperial = false;
    }
    void SetImperial() override {
        Record("SetImperial", 0);
        Imperial = true;
    }
    bool IsMetric() const override { return !Imperial; }
    bool IsImperial() const override { return Imperial; }

    std::vector<std::string> SetterNames() const {
        std::vector<std::string> Names;
        for (const TCall& Call : Calls)
            Names.push_back(Call.Setter);
        return Names;
    }

private:
    double Record(const char* Setter, double Value) {
        Calls.push_back({Setter, Value});
        return Value;
    }
};
