#include "windows/ULibraryFiles.h"

#include "files/UDataFile.h"
#include "files/USpreadsheetExport.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"
#include "text/StringUtils.h"
#include "windows/USeriesSummary.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <string_view>
#include <utility>

namespace {

// Besides the slash and control characters, those that FAT and NTFS refuse, so that the files
// can be carried to another computer.
// A name is cut to this many bytes, at a character's start, so that the whole file name stays
// within the 255 bytes file systems allow.
constexpr std::size_t LongestNamePart = 150;

std::string FileNamePart(const std::string& Name) {
    constexpr std::string_view Refused = "/\\:*?\"<>|";
    std::string Part;
    for (const char Character : Name) {
        const bool Control = static_cast<unsigned char>(Character) < 0x20 || Character == 0x7F;
        Part += Control || Refused.find(Character) != std::string_view::npos ? '_' : Character;
    }
    std::size_t End = std::min(Part.size(), LongestNamePart);
    while (End < Part.size() && (static_cast<unsigned char>(Part[End]) & 0xC0) == 0x80)
        --End;
    return Part.substr(0, End);
}

// FAT and NTFS do not tell "JSB" from "jsb": neither does the choice of names.
std::string Unique(const std::string& Base, std::set<std::string>& Taken) {
    std::string Name = Base;
    for (int Number = 2; Taken.contains(UpperCaseNational(Name)); ++Number)
        Name = Base + " (" + std::to_string(Number) + ")";
    Taken.insert(UpperCaseNational(Name));
    return Name;
}

// The energy columns of the shots and the statistics are the last ones.
void LeaveOutEnergies(TSeriesFigures& Figures) {
    for (TSheetRow& Row : Figures.Shots)
        Row.back().clear();
    for (TSheetRow& Row : Figures.Statistics)
        Row.back().clear();
    Figures.PeletWeight.back().clear();
}

} // namespace

TSeriesReading::TSeriesReading(const TSeriesStore& Store, TTranslate Translate)
    : FStore(Store), FTranslate(std::move(Translate)) {}

std::optional<std::vector<TData>> TSeriesReading::Shots(const TSeriesEntry& Entry) {
    try {
        TStoredShots Stored = FStore.LoadShots(Entry.Id, TSeries::MaxShots);
        if (Stored.Skipped > 0)
            Note(Entry, TranslateWith(FTranslate,
                                      "%s shots of this series in the library are no speeds in "
                                      "m/s or fps and were left out.",
                                      std::to_string(Stored.Skipped)));
        return std::move(Stored.Shots);
    } catch (const ESeriesTooLong& Error) {
        FRefused = true;
        Note(Entry,
             platform::Format(FTranslate("This series holds %s shots, more than a series "
                                         "can (%s): it is not opened."),
                              {std::to_string(Error.Count()), std::to_string(TSeries::MaxShots)}));
        return std::nullopt;
    }
}

void TSeriesReading::Note(const TSeriesEntry& Entry, const std::string& Text) {
    FTold += (FTold.empty() ? "" : "\n\n") + TranslateWith(FTranslate, "\"%s\"", Entry.Name) +
             ": " + Text;
}

void TSeriesReading::Tell(QWidget* Window) const {
    if (FTold.empty())
        return;
    if (FRefused)
        platform::ModalDialogs().ShowError(Window, FTold);
    else
        platform::ModalDialogs().ShowInformation(Window, FTold);
}

std::optional<TSeries> LoadSeries(TSeriesReading& Reading, const TSeriesEntry& Entry,
                                  const TUnitSystem& Units) {
    std::optional<std::vector<TData>> Shots = Reading.Shots(Entry);
    if (!Shots)
        return std::nullopt;
    TSeries Series;
    Series.SetUnits(Units);
    if (const std::optional<double> PeletWeight = SeriesPeletWeight(Entry.Notes, Units))
        Series.SetPeletWeight(*PeletWeight);
    Series.Replace(std::move(*Shots));
    return Series;
}

std::vector<std::string> SeriesFileNames(const std::string& Chosen,
                                         const std::vector<std::string>& SeriesNames) {
    if (SeriesNames.size() == 1)
        return {Chosen};
    const std::filesystem::path Path(Chosen);
    const std::string Stem = Path.stem().string();
    std::set<std::string> Taken;
    std::vector<std::string> Names;
    for (const std::string& Name : SeriesNames) {
        const std::string File = Unique(Stem + " - " + FileNamePart(Name), Taken);
        Names.push_back((Path.parent_path() / (File + Path.extension().string())).string());
    }
    return Names;
}

// The program's own loader reads only the speeds and their units, so a file with empty energies
// and weight loads as well as any.
void WriteDataFile(const std::string& FileName, const TSeries& Series, const TSeriesEntry& Entry) {
    const bool Weighed = Entry.Notes.PeletWeight.has_value();
    std::vector<TTableRow> Rows;
    Rows.reserve(Series.Count());
    for (std::size_t Index = 0; Index < Series.Count(); ++Index) {
        const TShotValues& Shot = Series.Values(Index);
        Rows.push_back({FormatValue(Shot.Speed), Weighed ? FormatValue(Shot.Energy) : ""});
    }
    const TUnitSystem& Units = Series.Units();
    SaveDataFile(FileName, Rows, Units.SpeedUnit, Units.EnergyUnit,
                 NoteText(TNoteQuantity::PeletWeight, Entry.Notes.PeletWeight, Units),
                 Units.WeightUnit);
}

void WriteSpreadsheet(const std::string& FileName, const TSeries& Series, const TSeriesEntry& Entry,
                      const TTranslate& Translate) {
    TSeriesFigures Figures = Series.Figures(Translate);
    if (!Entry.Notes.PeletWeight)
        LeaveOutEnergies(Figures);
    TSeriesSheet Sheet = SeriesSheet(Figures);
    Sheet.Summary.insert(Sheet.Summary.begin(),
                         {{Translate("Name"), Entry.Name}, {Translate("Created"), Entry.Created}});
    ExportSpreadsheet(FileName, Sheet);
}
