#include "files/USeriesReport.h"

#include "chart/NiceChart.h"
#include "platform/NumberFormats.h"
#include "tests/files/PdfReading.h"
#include "tests/platform/PlatformTestSupport.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>

using testing::HasSubstr;
using tests::PageCount;
using tests::PdfText;
using tests::PopplerOutput;
using tests::ReadFileText;
using tests::WriteFileText;

namespace {

// The text with every run of white space made one blank.
std::string Collapsed(const std::string& Text) {
    return QString::fromStdString(Text).simplified().toStdString();
}

std::string Speed(int Shot) {
    return platform::FormatFloat("0.00", 95 + Shot * 0.13);
}

std::string TwoDigits(int Value) {
    return (Value < 10 ? "0" : "") + std::to_string(Value);
}

std::string Time(int Shot) {
    return "14:" + TwoDigits(Shot / 60) + ":" + TwoDigits(Shot % 60);
}

class SeriesReportTest : public testing::Test {
protected:
    SeriesReportTest() {
        Chart.resize(769, 427);
        Chart.SuspendUpdates();
        Chart.SetShowLegend(false);
        Chart.SetShowTitle(false);
        Chart.SetAxisXOnePerValue(true);
        Chart.SetAxisXTitle("Shots");
        Chart.SetAxisYTitle("Rychlost [m/s]");
        TNiceSeries& Speeds = Chart.AddSeries(skLine);
        for (int Shot = 1; Shot <= 200; ++Shot)
            Speeds.AddValue(Shot, 95 + Shot * 0.13, std::to_string(Shot));
        Chart.ResumeUpdates();
    }

    static TReportContent Content(int Shots) {
        TReportContent Content;
        Content.Title = "TARVEX shot report";
        Content.Printed = "9. 12. 2025 18:45:00";
        Content.Facts = {{"Hmotnost střeliny", "0.547 g"}, {"Größe", "Weiß"}, {"Měření", ""}};
        Content.StatisticsHeader = {"", "Speed [m/s]", "Energy [J]"};
        Content.Statistics = {{"Mean", "108.07", "4.00"}, {"Standard deviation", "7.52", ""}};
        // Longer than a line: it wraps, and every word stays.
        Content.Paragraphs = {"Pellet B is faster by 3.20 m/s (95 % interval 1.10 to 5.30); a "
                              "difference this large arises by chance with probability 0.004"};
        Content.TableHeader = {"No.", "Time", "Speed [m/s]", "Energy [J]"};
        for (int Shot = 1; Shot <= Shots; ++Shot)
            Content.Rows.push_back({std::to_string(Shot), Time(Shot), Speed(Shot), "2.50"});
        Content.PagePattern = "Page %s of %s";
        return Content;
    }

    tests::TTempFolder Folder;
    TNiceChart Chart;
};

} // namespace

TEST_F(SeriesReportTest, PdfKeepsEveryTextAsTextWithItsLetters) {
    const std::string Path = Folder.File("report.pdf");
    WriteReportPdf(Path, Content(200), Chart.Picture());
    const std::string Text = Collapsed(PdfText(Path));
    for (const char* Expected :
         {"TARVEX shot report", "9. 12. 2025 18:45:00", "Hmotnost střeliny 0.547 g", "Größe Weiß",
          "Měření \u2013", "Mean 108.07 4.00", "Standard deviation 7.52 \u2013", "Rychlost [m/s]",
          "Pellet B is faster by 3.20 m/s (95 % interval 1.10 to 5.30); a difference this large "
          "arises by chance with probability 0.004"})
        EXPECT_THAT(Text, HasSubstr(Expected));
    for (int Shot = 1; Shot <= 200; ++Shot)
        EXPECT_THAT(Text, HasSubstr(" " + std::to_string(Shot) + " " + Time(Shot) + " " +
                                    Speed(Shot) + " 2.50 "));
}

TEST_F(SeriesReportTest, LongSeriesRunsOverPagesWithHeaderAndPageNumberOnEach) {
    const std::string Path = Folder.File("report.pdf");
    WriteReportPdf(Path, Content(200), Chart.Picture());
    const int Pages = PageCount(Path);
    EXPECT_GT(Pages, 1);
    const QStringList PageTexts = QString::fromStdString(PdfText(Path)).split('\f');
    ASSERT_GE(PageTexts.size(), Pages);
    for (int Page = 1; Page <= Pages; ++Page) {
        const std::string Text = Collapsed(PageTexts[Page - 1].toStdString());
        EXPECT_THAT(Text, HasSubstr("No. Time Speed [m/s] Energy [J]"));
        EXPECT_THAT(Text, HasSubstr(platform::Format("Page %d of %d", {Page, Pages})));
    }
}

// Where the words of a PDF stand, page by page, as pdftotext measures them.
struct TPlacedWord {
    double Top, Right, Bottom;
    QString Text;
};

std::vector<std::vector<TPlacedWord>> PlacedWords(const std::string& Path) {
    const QString Boxes = QString::fromStdString(
        PopplerOutput("pdftotext", {"-bbox", QString::fromStdString(Path), "-"}));
    const QRegularExpression Word(R"re(<word xMin="[\d.]+" yMin="([\d.]+)" xMax="([\d.]+)" )re"
                                  R"re(yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<std::vector<TPlacedWord>> Pages;
    for (const QString& Page : Boxes.split("<page ").mid(1)) {
        Pages.emplace_back();
        for (const QRegularExpressionMatch& Match : Word.globalMatch(Page))
            Pages.back().push_back({Match.captured(1).toDouble(), Match.captured(2).toDouble(),
                                    Match.captured(3).toDouble(), Match.captured(4)});
    }
    return Pages;
}

// The right edges, rounded to points, of the speeds of the first Shots shots.
std::set<int> SpeedRightEdges(const std::vector<std::vector<TPlacedWord>>& Pages, int Shots) {
    QStringList Speeds;
    for (int Shot = 1; Shot <= Shots; ++Shot)
        Speeds.append(QString::fromStdString(Speed(Shot)));
    std::set<int> RightEdges;
    for (const std::vector<TPlacedWord>& Page : Pages)
        for (const TPlacedWord& Word : Page)
            if (Speeds.contains(Word.Text))
                RightEdges.insert(static_cast<int>(std::lround(Word.Right)));
    return RightEdges;
}

// The right edges of the speeds line up in no more places than there are blocks of rows, and
// every row ends above the page number at the foot of its page.
TEST_F(SeriesReportTest, ShotRowsAlignRightAndStayAboveTheFoot) {
    const std::string Path = Folder.File("report.pdf");
    WriteReportPdf(Path, Content(200), Chart.Picture());
    const auto Pages = PlacedWords(Path);
    for (const std::vector<TPlacedWord>& Page : Pages) {
        double FootTop = 1e9, LowestRow = 0;
        for (const TPlacedWord& Word : Page) {
            if (Word.Text == "Page")
                FootTop = Word.Top;
            // The shots' times; the printed time in the foot is another hour.
            if (Word.Text.startsWith("14:"))
                LowestRow = std::max(LowestRow, Word.Bottom);
        }
        EXPECT_LT(LowestRow, FootTop);
    }
    const std::set<int> RightEdges = SpeedRightEdges(Pages, 200);
    EXPECT_GE(RightEdges.size(), 1u);
    EXPECT_LE(RightEdges.size(), 2u);
}

// Narrow columns would allow two blocks side by side, but a table that fits below the chart in
// one block stays in one.
TEST_F(SeriesReportTest, AShortTableStaysInOneBlock) {
    const std::string Path = Folder.File("report.pdf");
    TReportContent Short = Content(12);
    for (std::vector<std::string>& Row : Short.Rows)
        Row[1] = "";
    WriteReportPdf(Path, Short, Chart.Picture());
    EXPECT_EQ(SpeedRightEdges(PlacedWords(Path), 12).size(), 1u);
    EXPECT_EQ(PageCount(Path), 1);
}

TEST_F(SeriesReportTest, ShortSeriesFitsOnePageWithDashesForEmptyValues) {
    const std::string Path = Folder.File("report.pdf");
    TReportContent Short = Content(3);
    Short.Rows[1][3] = "";
    WriteReportPdf(Path, Short, Chart.Picture());
    const std::string Text = Collapsed(PdfText(Path));
    EXPECT_THAT(Text, HasSubstr("Page 1 of 1"));
    EXPECT_THAT(Text, HasSubstr("2 " + Time(2) + " " + Speed(2) + " \u2013"));
}

TEST_F(SeriesReportTest, PictureIsTheChartAsDrawn) {
    const std::string Path = Folder.File("chart.png");
    SaveChartPicture(Path, Chart.Picture());
    const QImage Saved = QImage(QString::fromStdString(Path)).convertToFormat(QImage::Format_RGB32);
    QImage Drawn(Chart.size(), QImage::Format_RGB32);
    Drawn.fill(Qt::white);
    Chart.PaintTo(Drawn);
    EXPECT_EQ(Saved.size(), Chart.size());
    EXPECT_TRUE(Saved == Drawn);
    // The series is drawn, in its own colour, where the chart put its points (a marker is
    // hollow: its outline lies around the point).
    const auto RedNear = [&](int X, int Y) {
        for (int DY = -3; DY <= 3; ++DY)
            for (int DX = -3; DX <= 3; ++DX) {
                const QColor Colour = Saved.pixelColor(X + DX, Y + DY);
                if (Colour.red() > Colour.green() + 60)
                    return true;
            }
        return false;
    };
    for (const int Index : {0, 99, 199}) {
        const TXYInfo& Point = Chart.GetSeries(0).Values()[Index];
        EXPECT_TRUE(RedNear(Point.ScreenX, Point.ScreenY)) << Index;
    }
    EXPECT_FALSE(RedNear(3, 3));
}

TEST_F(SeriesReportTest, FailureNamesTheFileAndLeavesNothingOrTheOldFile) {
    const std::string Missing = Folder.File("missing") + "/report.pdf";
    EXPECT_THAT([&] { WriteReportPdf(Missing, Content(3), Chart.Picture()); },
                testing::ThrowsMessage<std::runtime_error>(HasSubstr(Missing)));
    EXPECT_THAT([&] { SaveChartPicture(Missing, Chart.Picture()); },
                testing::ThrowsMessage<std::runtime_error>(HasSubstr(Missing)));
    EXPECT_FALSE(std::filesystem::exists(Folder.File("missing")));

    const std::string Path = Folder.File("old.pdf");
    WriteFileText(Path, "old report");
    TReportContent BadPattern = Content(3);
    BadPattern.PagePattern = "Page %s of %s, printed %s";
    EXPECT_THAT([&] { WriteReportPdf(Path, BadPattern, Chart.Picture()); },
                testing::ThrowsMessage<std::runtime_error>(HasSubstr(Path)));
    TNiceChart Empty;
    Empty.resize(0, 0);
    EXPECT_THAT([&] { SaveChartPicture(Path, Empty.Picture()); },
                testing::ThrowsMessage<std::runtime_error>(HasSubstr(Path)));
    EXPECT_EQ(ReadFileText(Path), "old report");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder.Path()), {}), 1);

    WriteReportPdf(Path, Content(3), Chart.Picture());
    const std::string Bytes = ReadFileText(Path);
    EXPECT_TRUE(Bytes.starts_with("%PDF-"));
    EXPECT_THAT(Bytes.substr(Bytes.size() - 16), HasSubstr("%%EOF"));
}
