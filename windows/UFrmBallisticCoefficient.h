#pragma once

// The pellet's ballistic coefficient measured from two series of the library: one shot with the
// chronograph at the muzzle, the other with it moved a known distance downrange. The faster
// series is the muzzle's. The window asks for the distance and the air of the day and says the
// BC with its 95 % interval; Keep puts it into the muzzle series' notes, where the trajectory
// window starts from it.

#include "analysis/BallisticCoefficient.h"
#include "library/SeriesStore.h"
#include "series/USeries.h"

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class TMainSettings;

class TFrmBallisticCoefficient : public QDialog {
public:
    // Near and Far are the summaries (m/s) of the two series' speeds; Store keeps the BC with
    // the muzzle series.
    TFrmBallisticCoefficient(TSeriesStore& Store, const TSeriesEntry& Near,
                             const TSampleSummary& NearSpeeds, const TSampleSummary& FarSpeeds,
                             const TMainSettings& Settings, TTranslate Translate, QWidget* Parent);

    // The estimate for the inputs in force; none while they give none.
    const std::optional<TBcEstimate>& Estimate() const { return FEstimate; }

    void Recompute();
    void btnKeepClick();

    // Distance, temperature, air pressure, humidity.
    std::vector<QLineEdit*> Edits;
    QLabel* const lblResult;
    QPushButton* const btnKeep;
    QPushButton* const btnClose;

private:
    std::string Translate(const std::string& Text) const { return FTranslate(Text); }
    void LayOut(const std::string& NearName);

    TSeriesStore& FStore;
    const std::int64_t FNearId;
    const TSampleSummary FNear;
    const TSampleSummary FFar;
    const TUnitSystem& FUnits;
    TTranslate FTranslate;
    std::optional<TBcEstimate> FEstimate;
};
