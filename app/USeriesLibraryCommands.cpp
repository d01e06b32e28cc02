// The series library window as the main window opens it, a library series made the window's
// own, and the trajectory of the window's series.

#include "analysis/StudentT.h"
#include "app/UMainForm.h"
#include "app/USeriesCommands.h"
#include "library/SeriesRecorder.h"
#include "library/SeriesStore.h"
#include "platform/HandlerGuard.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"
#include "series/TrajectoryTexts.h"
#include "windows/UFrmLibrary.h"
#include "windows/UFrmTrajectory.h"

void TSeriesCommands::actShowLibraryExecute() {
    TSeriesStore* const Store = FRecorder->Store();
    if (!Store)
        throw std::runtime_error(
            FTranslate("The series library is not open: the shots stay in this window only."));
    if (!FLibrary) {
        FLibrary = new TFrmLibrary(*Store, FSettings, FTranslate, &FForm);
        FLibrary->setAttribute(Qt::WA_DeleteOnClose);
        FLibrary->OpenSeries = [this](std::int64_t Id) { OpenLibrarySeries(Id); };
        FLibrary->CurrentSeries = [this] { return FRecorder->CurrentSeries(); };
        // The fill pressures of the series recorded are in the chart's usable shots.
        FLibrary->NotesSaved = [this](std::int64_t Id) {
            if (Id == FRecorder->CurrentSeries())
                FRedrawChart();
        };
    }
    FLibrary->show();
    FLibrary->raise();
    FLibrary->activateWindow();
}

// The series the window held stays in the library, so nothing is asked.
// Shots that only the window holds are replaced only when the user says so; a failure of the
// library itself has been told when it happened.
void TSeriesCommands::OpenLibrarySeries(std::int64_t Id) {
    TSeriesRecorder& Recorder = *FRecorder;
    const bool WasRecording = Recorder.Recording();
    if (!WasRecording && !FSeries.Empty() &&
        !platform::ModalDialogs().AskYesNo(
            &FForm, FTranslate("The shots in this window are not in the series library. "
                               "Replace them with the series opened?")))
        return;
    bool Opened = false;
    try {
        Opened = Recorder.OpenSeries(Id);
    } catch (const ESeriesTooLong& Error) {
        throw std::runtime_error(platform::Format(
            FTranslate("This series holds %s shots, more than a series can (%s): it is not "
                       "opened."),
            {std::to_string(Error.Count()), std::to_string(TSeries::MaxShots)}));
    }
    if (!Opened) {
        if (WasRecording && !Recorder.Recording())
            return;
        CheckAllCommitted();
        if (Recorder.Store()->ClaimedElsewhere(Id))
            throw std::runtime_error(
                FTranslate("Another TARVEX records into this series: it cannot be opened here."));
        if (FLibrary)
            FLibrary->Refresh();
        throw std::runtime_error(FTranslate("This series is no longer in the library."));
    }
    FForm.RecalculateNow();
    if (FLibrary)
        FLibrary->Refresh();
}

void TSeriesCommands::ShowRecordingInLibrary() {
    const std::optional<std::int64_t> Current = FRecorder->CurrentSeries();
    if (FLibrary && FLibrary->isVisible() && Current)
        FLibrary->RefreshSeries(*Current);
}

void TSeriesCommands::CloseLibrary() {
    if (FLibrary)
        FLibrary->close();
    delete FLibrary;
}

// The window's series: the mean of its speeds, the weight in force and what the library keeps with
// it, which the trajectory window may change there.
TTrajectoryStart TSeriesCommands::TrajectoryStart() const {
    TTrajectoryStart Start{FTranslate("the series in the window"),
                           std::nullopt,
                           FSettings.PeletWeight() / FSeries.Units().WeightFactor,
                           {},
                           nullptr};
    if (!FSeries.Empty()) {
        std::vector<double> Speeds;
        for (const TData& Shot : FSeries.Shots())
            Speeds.push_back(Shot.SpeedIn("m/s"));
        Start.MuzzleSpeed = MeanSpeed(Speeds);
    }
    TSeriesStore* const Store = FRecorder->Store();
    const std::optional<std::int64_t> Id = FRecorder->CurrentSeries();
    if (Store && Id) {
        if (const std::optional<TSeriesEntry> Entry = Store->ListedSeries(*Id))
            Start.SeriesName = Entry->Name;
        Start.Ballistics = Store->Ballistics(*Id).value_or(TSeriesBallistics{});
        if (!Store->ReadOnly())
            Start.Keep = [Store, Id](const TSeriesBallistics& Ballistics) {
                Store->SetBallistics(*Id, Ballistics);
            };
    }
    return Start;
}

void TSeriesCommands::actTrajectoryExecute() {
    (new TFrmTrajectory(TrajectoryStart(), FSettings, FTranslate, &FForm))->show();
}

// The report's page of the trajectory, for a series that keeps a BC; a trajectory the figures do
// not give says why on its page.
std::optional<TReportSection> TSeriesCommands::TrajectorySection() const {
    const TTrajectoryStart Start = TrajectoryStart();
    if (!Start.Ballistics.BallisticCoefficient || !Start.MuzzleSpeed)
        return std::nullopt;
    const TTrajectoryInput Input = StartingTrajectory(
        Start.MuzzleSpeed, Start.PeletWeight, Start.Ballistics.BallisticCoefficient,
        Start.Ballistics.SightHeight, Start.Ballistics.ZeroRange);
    const TUnitSystem& Units = FSeries.Units();
    const auto Shown = [&Units](TBallisticQuantity Quantity, double Value) {
        const TBallisticUnit Unit = BallisticUnit(Quantity, Units);
        return Unit.Text(Value) + " " + Unit.Name;
    };
    TReportSection Section{FTranslate("Trajectory"), {}, {}, {}};
    Section.Paragraphs.push_back(FillPlaceholders(
        FTranslate("Muzzle speed %s, BC %s, sight height %s, zero at %s, standard air, no wind"),
        {Shown(TBallisticQuantity::Speed, Input.MuzzleSpeed),
         Shown(TBallisticQuantity::Coefficient, Input.BallisticCoefficient),
         Shown(TBallisticQuantity::Height, Input.SightHeight),
         Shown(TBallisticQuantity::Range, Input.ZeroRange)}));
    try {
        const TTrajectoryTable Table = TrajectoryTable(ComputeTrajectory(Input), Units, FTranslate);
        Section.TableHeader = Table.Header;
        Section.Rows = Table.Rows;
        Section.Paragraphs.push_back(PointBlankText(PointBlankRange(Input, DefaultKillZone),
                                                    DefaultKillZone, Units, FTranslate));
    } catch (const std::invalid_argument& Error) {
        Section.Paragraphs.push_back(Error.what());
    }
    Section.Paragraphs.push_back(FTranslate(BallisticsNote));
    return Section;
}
