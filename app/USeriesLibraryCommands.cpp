// The series library window as the main window opens it, and a library series made the window's
// own.

#include "app/UMainForm.h"
#include "app/USeriesCommands.h"
#include "library/SeriesRecorder.h"
#include "library/SeriesStore.h"
#include "platform/HandlerGuard.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"
#include "windows/UFrmLibrary.h"

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
