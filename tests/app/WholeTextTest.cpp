// Every caption, header and value of the library's windows, the histogram, the setup window and
// the printed reports shows whole in each language: none is cut by its room or shortened with an
// ellipsis.

#include "app/UChartPanel.h"
#include "app/UMainForm.h"
#include "app/USeriesCommands.h"
#include "series/UEnergyPresets.h"
#include "tests/files/PdfReading.h"
#include "tests/windows/LibraryFixture.h"
#include "text/UTranslator.h"
#include "windows/FittingLabel.h"
#include "windows/UFrmComparison.h"
#include "windows/UFrmLibrary.h"
#include "windows/UFrmSetup.h"
#include "windows/UFrmTrajectory.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <gmock/gmock.h>

namespace {

constexpr int Languages[] = {LANG_ENGLISH, LANG_GERMAN, LANG_CZECH};

// "text (needed > room)" for every text of Window wider than the room it is shown in; a fitting
// label draws a long text smaller instead of cutting it.
std::vector<std::string> CutTexts(const QWidget& Window) {
    std::vector<std::string> Cut;
    const auto Fit = [&Cut](const QString& Text, int Needed, int Room) {
        if (!Text.isEmpty() && Needed > Room)
            Cut.push_back(QString("%1 (%2 > %3)").arg(Text).arg(Needed).arg(Room).toStdString());
    };
    for (const QWidget* Widget : Window.findChildren<QWidget*>()) {
        const auto* Label = qobject_cast<const QLabel*>(Widget);
        const auto* Button = qobject_cast<const QAbstractButton*>(Widget);
        const auto* Box = qobject_cast<const QGroupBox*>(Widget);
        const auto* Combo = qobject_cast<const QComboBox*>(Widget);
        const auto* Table = qobject_cast<const QTableView*>(Widget);
        if (!Widget->isVisibleTo(&Window) || dynamic_cast<const TFittingLabel*>(Widget))
            continue;
        if (Label && Label->wordWrap())
            Fit(Label->text(), Label->heightForWidth(Label->width()), Label->height());
        else if (Label)
            Fit(Label->text(), Label->fontMetrics().size(0, Label->text()).width(),
                Label->contentsRect().width());
        if (Button)
            Fit(Button->text(), Button->sizeHint().width(), Button->width());
        if (Box)
            Fit(Box->title(), Box->minimumSizeHint().width(), Box->width());
        for (int Item = 0; Combo && Item < Combo->count(); ++Item) {
            QStyleOptionComboBox Option;
            Option.initFrom(Combo);
            const QString Text = Combo->itemText(Item);
            const QSize Contents(Combo->fontMetrics().horizontalAdvance(Text), 1);
            Fit(Text,
                Combo->style()
                    ->sizeFromContents(QStyle::CT_ComboBox, &Option, Contents, Combo)
                    .width(),
                Combo->width());
        }
        if (!Table)
            continue;
        const QHeaderView& Header = *Table->horizontalHeader();
        for (int Column = 0; Column < Table->model()->columnCount(); ++Column) {
            Fit(Table->model()->headerData(Column, Qt::Horizontal).toString(),
                Header.sectionSizeHint(Column), Header.sectionSize(Column));
            for (int Row = 0; Row < Table->model()->rowCount(); ++Row) {
                const QModelIndex Index = Table->model()->index(Row, Column);
                Fit(Index.data().toString(), Table->sizeHintForIndex(Index).width(),
                    Header.sectionSize(Column));
            }
        }
        // A window as wide as its screen scrolls the columns that find no room on it.
        const int Screen = Window.screen()->availableGeometry().width();
        Fit("the window", Window.frameGeometry().width(), Screen);
        if (Window.frameGeometry().width() < Screen)
            Fit("the table's columns", Header.length(), Table->viewport()->width());
    }
    return Cut;
}

class WholeText : public LibraryFixture {
protected:
    // Thirty shots of two pellets with names and notes as long as a shooter's.
    WholeText() {
        std::vector<double> Speeds;
        for (int Shot = 0; Shot < 30; ++Shot)
            Speeds.push_back(251.37 - Shot * 0.11);
        AddSeries("H&N Baracuda Match 4.50", Speeds, Noted("Weihrauch HW100 KT", "H&N", 0.547));
        AddSeries("JSB Exact Jumbo Heavy", Speeds, Noted("", "JSB Exact Jumbo Heavy", 0.67));
        for (const double Speed : Speeds)
            Series.Append(TData("m/s", Speed));
        // The longest preset shows in the setup window's box.
        Settings.Energy = PresetLimit(EnergyPresets[1], MetricUnits);
    }

    TTranslate In(int Language) const {
        return [this, Language](const std::string& Text) {
            return Translator.Translate(Text, Language);
        };
    }

    std::unique_ptr<QWidget> Histogram(const TTranslate& Translate) {
        auto Panel = std::make_unique<TChartPanel>(Series, nullptr);
        Panel->Redraw = [Shown = Panel.get()] { Shown->ShowSeries(true); };
        Panel->ApplyTranslation(Translate, MetricUnits);
        Panel->actHistogram->setChecked(true);
        Panel->ShowSpread();
        Panel->resize(771, 460);
        return Panel;
    }

    TSeries Series;
    const TTranslator Translator;
};

TEST_F(WholeText, EveryWindowShowsItsTextsWhole) {
    using TOpen = std::function<std::unique_ptr<QWidget>(const TTranslate&)>;
    const std::pair<const char*, TOpen> Windows[] = {
        {"library",
         [this](const TTranslate& In) {
             auto Window = std::make_unique<TFrmLibrary>(Store, Settings, In, nullptr);
             Window->show();
             Window->grdSeries->selectRow(0);
             return Window;
         }},
        {"comparison",
         [this](const TTranslate& In) {
             return std::make_unique<TFrmComparison>(Store, Store.ListSeries(), Settings, In,
                                                     nullptr);
         }},
        {"histogram", [this](const TTranslate& In) { return Histogram(In); }},
        {"setup",
         [this](const TTranslate&) { return std::make_unique<TFrmSetup>(Settings, nullptr); }},
        {"trajectory",
         [this](const TTranslate& In) {
             const TTrajectoryStart Start{"H&N Baracuda Match 4.50", 250.0, 0.547,
                                          TSeriesBallistics{0.021, 0.045, 30.0}, nullptr};
             return std::make_unique<TFrmTrajectory>(Start, Settings, In, nullptr);
         }},
    };
    for (const auto& [Name, Open] : Windows)
        for (const int Language : Languages) {
            Settings.LanguageCode = Language;
            const std::unique_ptr<QWidget> Window = Open(In(Language));
            Window->show();
            QApplication::processEvents();
            EXPECT_THAT(CutTexts(*Window), testing::IsEmpty())
                << Name << " in " << TTranslator::LanguageName(Language);
        }
}

// The series' report with its legal limit and findings, and the comparison's, whose long row
// labels wrap: every word of them is on the page.
TEST_F(WholeText, ReportsShortenNoText) {
    for (const int Language : Languages) {
        TMainForm Form{{}};
        Form.show();
        Form.Settings().SetLanguage(Language);
        Form.Settings().SetEnergyLimit(PresetLimit(EnergyPresets[1], MetricUnits));
        for (std::size_t Shot = 0; Shot < Series.Count(); ++Shot)
            Form.Receiver().ReceiveText(FormatValue(Series.Values(Shot).Speed) + "\n");
        Form.RecalculateNow();
        TFrmComparison Compared(Store, Store.ListSeries(), Settings, In(Language), nullptr);
        Dialogs.FileNames = {Folder.File("series.pdf"), Folder.File("comparison.pdf")};
        Form.SeriesCommands->actPrintReport->trigger();
        Compared.btnPrintClick();
        const QString Text = QString::fromStdString(tests::PdfText(Folder.File("series.pdf")) +
                                                    tests::PdfText(Folder.File("comparison.pdf")));
        const std::string Name = TTranslator::LanguageName(Language);
        for (const QString& Line : Text.split('\n'))
            EXPECT_FALSE(Line.contains(QChar(0x2026))) << Name << ": " << Line.toStdString();
        const QStringList Words = Text.split(QRegularExpression("\\s+"));
        for (const std::vector<std::string>& Row : Compared.ReportContent().Statistics)
            for (const QString& Word : QString::fromStdString(Row.front()).split(' '))
                EXPECT_TRUE(Words.contains(Word)) << Name << ": " << Word.toStdString();
    }
    EXPECT_TRUE(Dialogs.Errors.empty());
}

} // namespace
