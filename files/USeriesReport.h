#pragma once

// The printable report of a series and the chart as a picture. Every text comes from the caller,
// already translated and formatted: the report only lays it out. Both files are made in memory
// and replace an old file only when complete; a failure leaves the old file as it was and raises
// std::runtime_error naming the file.

#include "chart/ChartModel.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// A part of the report on pages of its own after the shots: its title, sentences and table.
struct TReportSection {
    std::string Title;
    std::vector<std::string> Paragraphs;
    std::vector<std::string> TableHeader;
    std::vector<std::vector<std::string>> Rows;
};

struct TReportContent {
    std::string Title;
    // The date and time the report was made, as the caller shows them.
    std::string Printed;
    // Caption and value pairs: units, pellet weight, shot count and the like.
    std::vector<std::pair<std::string, std::string>> Facts;
    // The statistics table: its first column holds captions, the others values.
    std::vector<std::string> StatisticsHeader;
    std::vector<std::vector<std::string>> Statistics;
    // Sentences under the facts and the statistics, each wrapped over the page's width.
    std::vector<std::string> Paragraphs;
    // The table of shots, one row a shot.
    std::vector<std::string> TableHeader;
    std::vector<std::vector<std::string>> Rows;
    // The page number and the page count fill its two "%s" (platform::Format).
    std::string PagePattern = "%s / %s";
    // The series' trajectory, when one is set for it.
    std::optional<TReportSection> Trajectory;
};

// An empty value is shown as an en dash.
inline constexpr const char* EmptyValueText = "\u2013";

// A4 portrait PDF: the title, the printed date and time, the facts beside the statistics, the
// paragraphs, the chart as it is drawn, then the table of shots over as many pages as it needs, in
// two blocks of rows side by side where they fit, with its header row on every page, no row cut at
// a page end and the page number at the foot of every page.
void WriteReportPdf(const std::string& FileName, const TReportContent& Content,
                    const TChartPicture& Chart);

// The chart as it is drawn, at its size, as a PNG picture.
void SaveChartPicture(const std::string& FileName, const TChartPicture& Chart);
