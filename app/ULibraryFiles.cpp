#include "app/ULibraryFiles.h"

#include "app/UDataFile.h"
#include "app/USeriesSummary.h"
#include "app/USpreadsheetExport.h"
#include "platform/NumberFormats.h"
#include "text/StringUtils.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <string_view>

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

} // namespace

TSeries LoadSeries(const TSeriesStore& Store, const TSeriesEntry& Entry, const TUnitSystem& Units,
                   double CurrentWeight) {
    TSeries Series;
    Series.SetUnits(Units);
    Series.SetPeletWeight(SeriesPeletWeight(Entry.Notes, CurrentWeight, Units));
    Series.Replace(Store.LoadShots(Entry.Id, TSeries::MaxShots).Shots);
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

void WriteDataFile(const std::string& FileName, const TSeries& Series) {
    std::vector<TTableRow> Rows;
    Rows.reserve(Series.Count());
    for (std::size_t Index = 0; Index < Series.Count(); ++Index)
        Rows.push_back(
            {FormatValue(Series.Values(Index).Speed), FormatValue(Series.Values(Index).Energy)});
    const TUnitSystem& Units = Series.Units();
    SaveDataFile(FileName, Rows, Units.SpeedUnit, Units.EnergyUnit,
                 platform::FormatFloat("0.000", Series.PeletWeight()), Units.WeightUnit);
}

void WriteSpreadsheet(const std::string& FileName, const TSeries& Series, const TSeriesEntry& Entry,
                      const TTranslate& Translate) {
    TSeriesSheet Sheet = SeriesSheet(Series.Figures(Translate));
    Sheet.Summary.insert(Sheet.Summary.begin(),
                         {{Translate("Name"), Entry.Name}, {Translate("Created"), Entry.Created}});
    ExportSpreadsheet(FileName, Sheet);
}
