#include "phone/PhoneReadout.h"

#include "series/ReadoutTexts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString Text(const std::string& Value) {
    return QString::fromStdString(Value);
}

QJsonObject Texts(const TTranslate& Translate) {
    const auto T = [&Translate](const char* English) { return Text(Translate(English)); };
    return {{"shot", T("Shot")},
            {"speed", T("Speed")},
            {"energy", T("Energy")},
            {"weight", T("Pellet weight")},
            {"count", T("Shots")},
            {"mean", T("Mean")},
            {"sd", T("SD")},
            {"es", T("ES")},
            {"recent", T("Last 10 shots")},
            {"waiting", T("Waiting for the first shot")},
            {"reconnecting", T("Connection lost, reconnecting\u2026")},
            {"ended", T("Sharing was switched off: scan the new code.")}};
}

TReadoutLimits Limits(const TSeries& Series) {
    return {Series.SpeedLimit(), Series.EnergyLimit()};
}

QJsonValue LastShot(const TSeries& Series) {
    if (Series.Empty())
        return QJsonValue::Null;
    const TUnitSystem& Units = Series.Units();
    const TShotValues& Shot = Series.Values(Series.Count() - 1);
    const TReadoutTexts Texts =
        ReadoutTexts({static_cast<int>(Series.Count()), Shot.Speed, Units.SpeedUnit,
                      Series.PeletWeight(), Units.WeightUnit, Shot.Energy, Units.EnergyUnit},
                     Limits(Series));
    return QJsonObject{
        {"number", QString::number(Series.Count())}, {"speed", Text(Texts.Speed)},
        {"speedAtLimit", Texts.SpeedAtLimit},        {"energy", Text(Texts.Energy)},
        {"energyAtLimit", Texts.EnergyAtLimit},      {"weight", Text(Texts.PeletWeight)}};
}

QJsonObject Figures(const TSeries& Series) {
    const TRunningValues& Speed = Series.Statistics().Speed;
    const std::string Unit = std::string(" ") + Series.Units().SpeedUnit;
    const TSpreadTexts Spread = SpreadTexts(Speed);
    return {{"count", QString::number(Series.Count())},
            {"mean", Text(StatisticsTexts(Speed).Average + Unit)},
            {"sd", Text(Spread.StandardDeviation + Unit)},
            {"es", Text(Spread.ExtremeSpread + Unit)}};
}

QJsonArray Recent(const TSeries& Series) {
    const TReadoutLimits Limit = Limits(Series);
    QJsonArray Shots;
    for (std::size_t i = Series.Count(); i > 0 && Series.Count() - i < RecentShots; --i) {
        const TShotValues& Shot = Series.Values(i - 1);
        Shots.append(QJsonObject{{"number", QString::number(i)},
                                 {"speed", Text(FormatAgainstLimit(Shot.Speed, Limit.Speed, 2))},
                                 {"speedAtLimit", AtLimit(Shot.Speed, Limit.Speed)},
                                 {"energy", Text(FormatAgainstLimit(Shot.Energy, Limit.Energy, 2))},
                                 {"energyAtLimit", AtLimit(Shot.Energy, Limit.Energy)}});
    }
    return Shots;
}

} // namespace

TPhoneReadout PhoneReadoutOf(const TSeries& Series, const TTranslate& Translate,
                             const std::string& Language) {
    const TUnitSystem& Units = Series.Units();
    const QJsonObject Message{
        {"type", "readout"},
        {"lang", Text(Language)},
        {"texts", Texts(Translate)},
        {"last", LastShot(Series)},
        {"figures", Figures(Series)},
        {"recent", Recent(Series)},
        {"units", QJsonObject{{"speed", Units.SpeedUnit}, {"energy", Units.EnergyUnit}}}};
    return {Language, Translate("Connecting\u2026"),
            QJsonDocument(Message).toJson(QJsonDocument::Compact)};
}
