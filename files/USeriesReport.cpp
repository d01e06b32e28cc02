#include "files/USeriesReport.h"

#include "platform/FileIO.h"
#include "platform/Fonts.h"
#include "platform/NumberFormats.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace {

// The PDF's coordinates are dots of 1/600 inch; every length below is given in points or
// millimetres and turned into dots.
constexpr int Resolution = 600;

constexpr double Points(double Value) {
    return Value * Resolution / 72.0;
}
constexpr double Millimetres(double Value) {
    return Value * Resolution / 25.4;
}

constexpr QRgb InkColor = 0x1f2328;
constexpr QRgb MutedColor = 0x656d76;
constexpr QRgb RuleColor = 0x8c959f;
constexpr QRgb StripeColor = 0xf0f2f4;

constexpr double CellPadding = Millimetres(1.6);
constexpr double SectionGap = Millimetres(6);
// The table of a report without a trajectory: the table keeps references to its texts.
const std::vector<std::string> NoText;
const std::vector<std::vector<std::string>> NoRows;
constexpr double BlockGap = Millimetres(9);
// The shot table runs in at most this many blocks of rows side by side.
constexpr int MaxBlocks = 2;
// Fewer rows than this below the chart start the shot table on the next page instead.
constexpr int MinRowsOnFirstPage = 5;
// The share of the printable width that the facts take beside the statistics.
constexpr double FactsShare = 0.4;
// The chart keeps its proportions but takes at most this share of the printable height.
constexpr double MaxChartShare = 0.32;

QString ToQString(const std::string& Text) {
    return QString::fromStdString(Text);
}

[[noreturn]] void Fail(const std::string& FileName, const std::string& Reason) {
    throw std::runtime_error("Cannot write file '" + FileName + "': " + Reason);
}

void WriteBytes(const std::string& FileName, const QByteArray& Bytes) {
    platform::WriteFileAtomically(FileName,
                                  std::string_view(Bytes.constData(), std::size_t(Bytes.size())));
}

// Liberation Sans, Arial's metric twin, sized in points for the PDF's resolution.
QFont ReportFont(double PointSize, bool Bold = false) {
    QFont Font = ArialFont(static_cast<int>(std::lround(Points(PointSize))));
    Font.setBold(Bold);
    return Font;
}

// The report's fonts, measured on the device they are drawn on.
struct TTypography {
    explicit TTypography(const QPaintDevice& Device) : Device(Device) {}

    const QPaintDevice& Device;
    QFont Title = ReportFont(18, true);
    QFont Body = ReportFont(9);
    QFont Bold = ReportFont(9, true);
    QFont Small = ReportFont(7.5);

    QFontMetricsF Metrics(const QFont& Font) const { return QFontMetricsF(Font, &Device); }
    double LineHeight(const QFont& Font) const { return Metrics(Font).lineSpacing(); }
    double RowHeight() const { return 1.4 * LineHeight(Body); }
};

// One line of text; what does not fit its box ends in an ellipsis.
void DrawText(QPainter& Painter, const TTypography& Type, const QFont& Font, QRgb Color,
              const QRectF& Box, int Flags, const std::string& Text) {
    Painter.setFont(Font);
    Painter.setPen(QColor(Color));
    Painter.drawText(Box, Flags,
                     Type.Metrics(Font).elidedText(ToQString(Text), Qt::ElideRight, Box.width()));
}

// Text broken into lines at its spaces only, so that a unit such as "[m/s]" stays whole, each
// line as long as fits Width; a word longer than that ends in an ellipsis (the tables are made
// as wide as their longest word).
QString WrappedAtSpaces(const QFontMetricsF& Metrics, const QString& Text, double Width) {
    QStringList Lines;
    for (const QString& Word : Text.split(' ', Qt::SkipEmptyParts)) {
        if (!Lines.isEmpty() && Metrics.horizontalAdvance(Lines.back() + ' ' + Word) <= Width)
            Lines.back() += ' ' + Word;
        else
            Lines.append(Word);
    }
    for (QString& Line : Lines)
        Line = Metrics.elidedText(Line, Qt::ElideRight, Width);
    return Lines.join('\n');
}

// Text wrapped at its spaces in Box, in as many lines as it takes.
void DrawWrapped(QPainter& Painter, const TTypography& Type, const QFont& Font, QRgb Color,
                 const QRectF& Box, int Flags, const std::string& Text) {
    Painter.setFont(Font);
    Painter.setPen(QColor(Color));
    Painter.drawText(Box, Flags, WrappedAtSpaces(Type.Metrics(Font), ToQString(Text), Box.width()));
}

// The lines of Text wrapped at its spaces to Width.
int WrappedLines(const TTypography& Type, const QFont& Font, const std::string& Text,
                 double Width) {
    return int(WrappedAtSpaces(Type.Metrics(Font), ToQString(Text), Width).count('\n')) + 1;
}

// A row of the report as high as its most lines.
double RowHeight(const TTypography& Type, int Lines) {
    return Type.RowHeight() + double(Lines - 1) * Type.LineHeight(Type.Body);
}

void DrawRule(QPainter& Painter, double Left, double Right, double Y, double Width) {
    Painter.setPen(QPen(QColor(RuleColor), Width));
    Painter.drawLine(QPointF(Left, Y), QPointF(Right, Y));
}

double Sum(const std::vector<double>& Widths) {
    return std::accumulate(Widths.begin(), Widths.end(), 0.0);
}

// Widths that fill Target. Spare room is shared evenly; a shortage is taken from the widest
// columns, which are long captions as a rule, so that short numbers keep their room.
std::vector<double> Fitted(std::vector<double> Widths, double Target) {
    const double Count = double(Widths.size());
    const double Natural = Sum(Widths);
    if (Natural <= Target) {
        for (double& Width : Widths)
            Width += (Target - Natural) / Count;
        return Widths;
    }
    // The cap that the wide columns share once the narrow ones keep their widths.
    double Cap = Target / Count;
    for (std::size_t Pass = 0; Pass < Widths.size(); ++Pass) {
        double Narrow = 0, Wide = 0;
        for (const double Width : Widths) {
            if (Width < Cap)
                Narrow += Width;
            else
                ++Wide;
        }
        Cap = (Target - Narrow) / Wide;
    }
    for (double& Width : Widths)
        Width = std::min(Width, Cap);
    return Widths;
}

// A table with a header row, its first column holding captions (left-aligned) or, like every
// other column, values (right-aligned). An empty value shows as an en dash; a header cell and a
// caption wrap at their spaces when their column is narrower than they are, the caption's row
// growing to its lines.
class TTable {
public:
    TTable(const TTypography& Type, const std::vector<std::string>& Header,
           const std::vector<std::vector<std::string>>& Rows, bool CaptionColumn)
        : FType(Type), FHeader(Header), FRows(Rows), FCaptionColumn(CaptionColumn) {
        std::size_t Columns = Header.size();
        for (const auto& Row : Rows)
            Columns = std::max(Columns, Row.size());
        FWhole = NaturalWidths(Columns, true);
        FCompact = NaturalWidths(Columns, false);
        FWidths = FWhole;
    }

    bool Empty() const { return FWidths.empty(); }
    int RowCount() const { return static_cast<int>(FRows.size()); }
    double Width() const { return Sum(FWidths); }
    // The narrowest the table gets without cutting text: every header wrapped at its spaces.
    double CompactWidth() const { return Sum(FCompact); }
    // Headers wrap only when the table would not fit Width with them whole.
    void FitTo(double Width) { FWidths = Fitted(Sum(FWhole) <= Width ? FWhole : FCompact, Width); }

    double HeaderHeight() const {
        qsizetype Lines = 1;
        for (std::size_t Column = 0; Column < FWidths.size(); ++Column)
            Lines = std::max(Lines, HeaderLines(Column).count('\n') + 1);
        return FType.RowHeight() + double(Lines - 1) * FType.LineHeight(FType.Bold);
    }

    // The header at (X, Y) and Count rows from First below it; gives the bottom.
    double Draw(QPainter& Painter, double X, double Y, int First, int Count) const {
        double Bottom = Y + HeaderHeight();
        DrawHeader(Painter, QRectF(X, Y, Width(), Bottom - Y));
        DrawRule(Painter, X, X + Width(), Bottom, Points(0.8));
        for (int Index = 0; Index < Count; ++Index) {
            const std::vector<std::string>& Row = FRows[std::size_t(First + Index)];
            const QRectF Band(X, Bottom, Width(), RowHeight(FType, CaptionLines(Row)));
            DrawRow(Painter, Row, Band, Index % 2 == 1);
            Bottom = Band.bottom();
        }
        return Bottom;
    }

private:
    // Whole: every header and caption on one line; else as narrow as their longest word.
    std::vector<double> NaturalWidths(std::size_t Columns, bool Whole) const {
        std::vector<double> Widths(Columns, 0.0);
        const QFontMetricsF Body = FType.Metrics(FType.Body);
        const QFontMetricsF Bold = FType.Metrics(FType.Bold);
        const auto Widest = [Whole](const QFontMetricsF& Metrics, const std::string& Text,
                                    bool Wraps) {
            double Width = 0;
            const QString Shown = ToQString(Text);
            for (const QString& Word : Whole || !Wraps ? QStringList(Shown) : Shown.split(' '))
                Width = std::max(Width, Metrics.horizontalAdvance(Word));
            return Width;
        };
        for (std::size_t Column = 0; Column < Columns; ++Column) {
            Widths[Column] = Widest(Bold, HeaderText(Column), true);
            for (const auto& Row : FRows)
                Widths[Column] = std::max(Widths[Column],
                                          Widest(Body, CellText(Row, Column), IsCaption(Column)));
            Widths[Column] += 2 * CellPadding;
        }
        return Widths;
    }

    std::string HeaderText(std::size_t Column) const {
        return Column < FHeader.size() ? FHeader[Column] : std::string();
    }

    QString HeaderLines(std::size_t Column) const {
        return WrappedAtSpaces(FType.Metrics(FType.Bold), ToQString(HeaderText(Column)),
                               FWidths[Column] - 2 * CellPadding);
    }

    // The header's last line sits where a row's text would.
    void DrawHeader(QPainter& Painter, const QRectF& Band) const {
        const double Inset = (FType.RowHeight() - FType.LineHeight(FType.Bold)) / 2;
        Painter.setFont(FType.Bold);
        Painter.setPen(QColor(InkColor));
        for (std::size_t Column = 0; Column < FWidths.size(); ++Column)
            Painter.drawText(CellBox(Column, Band.adjusted(0, 0, 0, -Inset)),
                             Qt::AlignBottom | Alignment(Column), HeaderLines(Column));
    }

    std::string CellText(const std::vector<std::string>& Row, std::size_t Column) const {
        const std::string Text = Column < Row.size() ? Row[Column] : std::string();
        return Text.empty() && !IsCaption(Column) ? EmptyValueText : Text;
    }

    int CaptionLines(const std::vector<std::string>& Row) const {
        return FCaptionColumn && !FWidths.empty()
                   ? WrappedLines(FType, FType.Body, CellText(Row, 0), FWidths[0] - 2 * CellPadding)
                   : 1;
    }

    void DrawRow(QPainter& Painter, const std::vector<std::string>& Row, const QRectF& Band,
                 bool Striped) const {
        if (Striped)
            Painter.fillRect(Band, QColor(StripeColor));
        for (std::size_t Column = 0; Column < FWidths.size(); ++Column) {
            const int Flags = Qt::AlignVCenter | Alignment(Column);
            if (IsCaption(Column))
                DrawWrapped(Painter, FType, FType.Body, MutedColor, CellBox(Column, Band), Flags,
                            CellText(Row, Column));
            else
                DrawText(Painter, FType, FType.Body, InkColor, CellBox(Column, Band), Flags,
                         CellText(Row, Column));
        }
    }

    bool IsCaption(std::size_t Column) const { return FCaptionColumn && Column == 0; }
    int Alignment(std::size_t Column) const {
        return IsCaption(Column) ? Qt::AlignLeft : Qt::AlignRight;
    }

    // Band gives the row's top and height, the column the cell's left and width.
    QRectF CellBox(std::size_t Column, const QRectF& Band) const {
        const double Left =
            Band.left() + std::accumulate(FWidths.begin(), FWidths.begin() + long(Column), 0.0);
        return QRectF(Left + CellPadding, Band.top(), FWidths[Column] - 2 * CellPadding,
                      Band.height());
    }

    const TTypography& FType;
    const std::vector<std::string>& FHeader;
    const std::vector<std::vector<std::string>>& FRows;
    bool FCaptionColumn;
    std::vector<double> FWhole;
    std::vector<double> FCompact;
    std::vector<double> FWidths;
};

// The rows of the shot table on one page: Count rows from First, in blocks of at most
// RowsPerBlock rows side by side, read block after block.
struct TTablePage {
    int Page;
    int First;
    int Count;
    int RowsPerBlock;
    double Top;
};

// Splits the rows over pages: on the first page below FirstTop, on the others from the top, all
// above Bottom. The last page shares its rows evenly between the blocks.
std::vector<TTablePage> Paginate(int RowCount, int Blocks, double FirstTop, double Bottom,
                                 double HeaderHeight, double RowHeight) {
    const auto Capacity = [&](double Top) {
        return std::max(1, static_cast<int>((Bottom - Top - HeaderHeight) / RowHeight));
    };
    std::vector<TTablePage> Pages;
    int Page = Capacity(FirstTop) >= MinRowsOnFirstPage ? 0 : 1;
    double Top = Page == 0 ? FirstTop : 0;
    for (int First = 0; First < RowCount; ++Page, Top = 0) {
        const int Count = std::min(RowCount - First, Blocks * Capacity(Top));
        Pages.push_back({Page, First, Count, (Count + Blocks - 1) / Blocks, Top});
        First += Count;
    }
    return Pages;
}

// The chart as its control paints itself, recorded as drawing commands and replayed scaled, so
// that lines and labels stay sharp at any print resolution. A picture replays itself enlarged
// by the device's resolution over its own, which the scale takes back.
void DrawChart(QPainter& Painter, const TChartPicture& Chart, const QRectF& Box) {
    QPicture Picture;
    Chart.PaintTo(Picture);
    const QPaintDevice& Device = *Painter.device();
    Painter.save();
    Painter.setClipRect(Box);
    Painter.translate(Box.topLeft());
    Painter.scale(Box.width() / Chart.Size.width() * Picture.logicalDpiX() / Device.logicalDpiX(),
                  Box.height() / Chart.Size.height() * Picture.logicalDpiY() /
                      Device.logicalDpiY());
    Painter.drawPicture(0, 0, Picture);
    Painter.restore();
    Painter.setPen(QPen(QColor(RuleColor), Points(0.5)));
    Painter.setBrush(Qt::NoBrush);
    Painter.drawRect(Box);
}

// The box the chart takes below Top: the printable width, the chart's proportions, centred
// when the height limit narrows it; empty for a chart without an area.
QRectF ChartBox(const TChartPicture& Chart, double Top, double Width, double Height) {
    if (Chart.Size.width() <= 0 || Chart.Size.height() <= 0)
        return {};
    const double Aspect = double(Chart.Size.height()) / Chart.Size.width();
    const double BoxHeight = std::min(Width * Aspect, Height * MaxChartShare);
    const double BoxWidth = BoxHeight / Aspect;
    return QRectF((Width - BoxWidth) / 2, Top, BoxWidth, BoxHeight);
}

class TReportWriter {
public:
    TReportWriter(QPdfWriter& Writer, QPainter& Painter, const TReportContent& Content)
        : FWriter(Writer), FPainter(Painter), FContent(Content), FType(Writer),
          FWidth(Writer.width()), FHeight(Writer.height()),
          FBodyBottom(FHeight - FType.LineHeight(FType.Small) - Millimetres(4)),
          FStatistics(FType, Content.StatisticsHeader, Content.Statistics, true),
          FShots(FType, Content.TableHeader, Content.Rows, false),
          FSection(FType, Content.Trajectory ? Content.Trajectory->TableHeader : NoText,
                   Content.Trajectory ? Content.Trajectory->Rows : NoRows, false) {}

    void Write(const TChartPicture& Chart) {
        double Top = DrawHeading();
        Top = DrawSummary(Top) + SectionGap;
        Top = PlaceParagraphs(FContent.Paragraphs, Top, true);
        const QRectF Box = ChartBox(Chart, Top, FWidth, FHeight);
        if (!Box.isEmpty()) {
            DrawChart(FPainter, Chart, Box);
            Top = Box.bottom() + SectionGap;
        }
        const std::vector<TTablePage> Pages = LayOutShots(Top);
        const int ShotPages = Pages.empty() ? 1 : Pages.back().Page + 1;
        const std::vector<TTablePage> SectionPages = LayOutSection(ShotPages);
        const int PageCount = SectionPages.empty() ? ShotPages : SectionPages.back().Page + 1;
        DrawFooter(0, PageCount);
        for (const TTablePage& Page : Pages)
            DrawShotPage(Page, PageCount);
        if (FContent.Trajectory)
            DrawSection(ShotPages, SectionPages, PageCount);
    }

private:
    double DrawHeading() {
        const double TitleHeight = FType.LineHeight(FType.Title);
        DrawText(FPainter, FType, FType.Title, InkColor, QRectF(0, 0, FWidth, TitleHeight),
                 Qt::AlignLeft, FContent.Title);
        const double PrintedHeight = FType.LineHeight(FType.Body);
        DrawText(FPainter, FType, FType.Body, MutedColor,
                 QRectF(0, TitleHeight, FWidth, PrintedHeight), Qt::AlignLeft, FContent.Printed);
        const double Bottom = TitleHeight + PrintedHeight + Millimetres(2);
        DrawRule(FPainter, 0, FWidth, Bottom, Points(1.2));
        return Bottom + SectionGap;
    }

    // The facts on the left, the statistics on the right, side by side from Top.
    double DrawSummary(double Top) {
        const double FactsWidth = FWidth * FactsShare;
        double Bottom = Top + DrawFacts(Top, FactsWidth);
        if (!FStatistics.Empty()) {
            const double Left = FactsWidth + BlockGap;
            FStatistics.FitTo(FWidth - Left);
            Bottom =
                std::max(Bottom, FStatistics.Draw(FPainter, Left, Top, 0, FStatistics.RowCount()));
        }
        return Bottom;
    }

    // Each paragraph over the whole width, drawn or only measured; gives the top of what
    // follows.
    double PlaceParagraphs(const std::vector<std::string>& Paragraphs, double Top, bool Draw) {
        const QFontMetricsF Metrics = FType.Metrics(FType.Body);
        FPainter.setFont(FType.Body);
        FPainter.setPen(QColor(InkColor));
        for (const std::string& Paragraph : Paragraphs) {
            const QString Text = ToQString(Paragraph);
            const QRectF Box = Metrics.boundingRect(QRectF(0, Top, FWidth, FHeight),
                                                    Qt::TextWordWrap | Qt::AlignLeft, Text);
            if (Draw)
                FPainter.drawText(Box, Qt::TextWordWrap | Qt::AlignLeft, Text);
            Top = Box.bottom() + SectionGap;
        }
        return Top;
    }

    // The section's title and sentences at the top of its first page; gives the top of its
    // table.
    double PlaceSectionHeading(bool Draw) {
        const TReportSection& Section = *FContent.Trajectory;
        const double TitleHeight = FType.LineHeight(FType.Title);
        if (Draw)
            DrawText(FPainter, FType, FType.Title, InkColor, QRectF(0, 0, FWidth, TitleHeight),
                     Qt::AlignLeft, Section.Title);
        return PlaceParagraphs(Section.Paragraphs, TitleHeight + SectionGap, Draw);
    }

    // The section starts a page after the shots, FirstPage.
    std::vector<TTablePage> LayOutSection(int FirstPage) {
        if (!FContent.Trajectory)
            return {};
        FSection.FitTo(FWidth);
        std::vector<TTablePage> Pages =
            Paginate(FSection.RowCount(), 1, PlaceSectionHeading(false), FBodyBottom,
                     FSection.HeaderHeight(), FType.RowHeight());
        for (TTablePage& Page : Pages)
            Page.Page += FirstPage;
        return Pages;
    }

    void DrawSection(int FirstPage, const std::vector<TTablePage>& Pages, int PageCount) {
        NewPage(FirstPage, PageCount);
        PlaceSectionHeading(true);
        for (const TTablePage& Page : Pages) {
            if (Page.Page > FirstPage)
                NewPage(Page.Page, PageCount);
            FSection.Draw(FPainter, 0, Page.Top, Page.First, Page.Count);
        }
    }

    // Caption and value lines level with the statistics' rows, each wrapped at its spaces when
    // longer than its column; gives their height.
    double DrawFacts(double Top, double Width) {
        const QFontMetricsF Metrics = FType.Metrics(FType.Body);
        double CaptionWidth = 0;
        for (const auto& [Caption, Value] : FContent.Facts)
            CaptionWidth = std::max(CaptionWidth, Metrics.horizontalAdvance(ToQString(Caption)));
        CaptionWidth = std::min(CaptionWidth + 2 * CellPadding, Width / 2);
        const double ValueWidth = Width - CaptionWidth;
        double Y = Top + (FStatistics.Empty() ? 0 : FStatistics.HeaderHeight() - FType.RowHeight());
        for (const auto& [Caption, Fact] : FContent.Facts) {
            const std::string Value = Fact.empty() ? EmptyValueText : Fact;
            const double Row =
                RowHeight(FType, std::max(WrappedLines(FType, FType.Body, Caption, CaptionWidth),
                                          WrappedLines(FType, FType.Bold, Value, ValueWidth)));
            DrawWrapped(FPainter, FType, FType.Body, MutedColor, QRectF(0, Y, CaptionWidth, Row),
                        Qt::AlignLeft | Qt::AlignVCenter, Caption);
            DrawWrapped(FPainter, FType, FType.Bold, InkColor,
                        QRectF(CaptionWidth, Y, ValueWidth, Row), Qt::AlignLeft | Qt::AlignVCenter,
                        Value);
            Y += Row;
        }
        return Y - Top;
    }

    // Decides how many blocks of rows fit side by side, fits the columns and pages the rows.
    // A table that fits below the chart in one block is kept in one: side-by-side blocks are
    // for long series, where they save pages.
    std::vector<TTablePage> LayOutShots(double FirstTop) {
        if (FShots.Empty() || FShots.RowCount() == 0)
            return {};
        FShots.FitTo(FWidth);
        std::vector<TTablePage> Pages = Paginate(FShots.RowCount(), 1, FirstTop, FBodyBottom,
                                                 FShots.HeaderHeight(), FType.RowHeight());
        const int Blocks =
            std::clamp(static_cast<int>((FWidth + BlockGap) / (FShots.CompactWidth() + BlockGap)),
                       1, MaxBlocks);
        const bool FitsBelowChart = Pages.size() == 1 && Pages.front().Page == 0;
        if (FitsBelowChart || Blocks == 1)
            return Pages;
        FShots.FitTo((FWidth - (Blocks - 1) * BlockGap) / Blocks);
        return Paginate(FShots.RowCount(), Blocks, FirstTop, FBodyBottom, FShots.HeaderHeight(),
                        FType.RowHeight());
    }

    void DrawShotPage(const TTablePage& Page, int PageCount) {
        if (Page.Page > 0)
            NewPage(Page.Page, PageCount);
        const double Stride = FShots.Width() + BlockGap;
        for (int Block = 0; Block * Page.RowsPerBlock < Page.Count; ++Block) {
            const int First = Block * Page.RowsPerBlock;
            FShots.Draw(FPainter, Block * Stride, Page.Top, Page.First + First,
                        std::min(Page.RowsPerBlock, Page.Count - First));
        }
    }

    void NewPage(int Page, int PageCount) {
        if (!FWriter.newPage())
            throw std::runtime_error("the PDF cannot take another page");
        DrawFooter(Page, PageCount);
    }

    // The title and printed time on the left, the page number on the right, below a rule.
    void DrawFooter(int Page, int PageCount) {
        const double Height = FType.LineHeight(FType.Small);
        const QRectF Box(0, FHeight - Height, FWidth, Height);
        DrawRule(FPainter, 0, FWidth, Box.top() - Millimetres(1.5), Points(0.5));
        const std::string PageText = platform::Format(
            FContent.PagePattern, {std::to_string(Page + 1), std::to_string(PageCount)});
        const QFontMetricsF Metrics = FType.Metrics(FType.Small);
        const double PageWidth = Metrics.horizontalAdvance(ToQString(PageText)) + CellPadding;
        DrawText(FPainter, FType, FType.Small, MutedColor, Box.adjusted(0, 0, -PageWidth, 0),
                 Qt::AlignLeft, FContent.Title + "   " + FContent.Printed);
        DrawText(FPainter, FType, FType.Small, MutedColor, Box, Qt::AlignRight, PageText);
    }

    QPdfWriter& FWriter;
    QPainter& FPainter;
    const TReportContent& FContent;
    TTypography FType;
    double FWidth;
    double FHeight;
    double FBodyBottom;
    TTable FStatistics;
    TTable FShots;
    TTable FSection;
};

QPageLayout A4Portrait() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 16, 18, 12),
                       QPageLayout::Millimeter);
}

QByteArray ReportBytes(const std::string& FileName, const TReportContent& Content,
                       const TChartPicture& Chart) {
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    QPdfWriter Writer(&Buffer);
    Writer.setResolution(Resolution);
    Writer.setPageLayout(A4Portrait());
    Writer.setTitle(ToQString(Content.Title));
    Writer.setCreator(QStringLiteral("TARVEX"));
    QPainter Painter;
    if (!Painter.begin(&Writer))
        Fail(FileName, "the PDF cannot be drawn");
    try {
        TReportWriter(Writer, Painter, Content).Write(Chart);
    } catch (const std::exception& Error) {
        Fail(FileName, Error.what());
    }
    Painter.end();
    return Bytes;
}

} // namespace

void WriteReportPdf(const std::string& FileName, const TReportContent& Content,
                    const TChartPicture& Chart) {
    WriteBytes(FileName, ReportBytes(FileName, Content, Chart));
}

void SaveChartPicture(const std::string& FileName, const TChartPicture& Chart) {
    QImage Picture(Chart.Size, QImage::Format_RGB32);
    if (Picture.isNull())
        Fail(FileName, "the chart has no area to draw");
    Picture.fill(Qt::white);
    Chart.PaintTo(Picture);
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    if (!Picture.save(&Buffer, "PNG"))
        Fail(FileName, "the chart cannot be encoded as a PNG picture");
    WriteBytes(FileName, Bytes);
}
