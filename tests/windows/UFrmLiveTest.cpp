#include "windows/UFrmLive.h"

#include "platform/Fonts.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/windows/OwnerWindow.h"
#include "tests/windows/RecordingSettings.h"
#include "windows/FittingLabel.h"
#include "windows/UFrmSetup.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QToolButton>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;

namespace {

std::string Text(const QLabel* Label) {
    return Label->text().toStdString();
}

QImage Rendered(QWidget* Widget) {
    QImage Image(Widget->size(), QImage::Format_RGB32);
    Image.fill(Qt::white);
    Widget->render(&Image);
    return Image;
}

// How often each exact colour occurs in the picture of a label.
int PixelsOf(const QImage& Image, QRgb Colour) {
    int Count = 0;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            Count += Image.pixel(x, y) == Colour;
    return Count;
}

bool InkedColumn(const QImage& Image, int x) {
    for (int y = 0; y < Image.height(); ++y)
        if (qGray(Image.pixel(x, y)) < 128)
            return true;
    return false;
}

// Whether any of Count columns from Left holds ink.
bool Inked(const QImage& Image, int Left, int Count) {
    for (int x = Left; x < Left + Count; ++x)
        if (InkedColumn(Image, x))
            return true;
    return false;
}

// The runs of columns that hold ink, from left to right: one per glyph of well-spaced text.
int InkedColumnRuns(const QImage& Image) {
    int Runs = 0;
    bool InRun = false;
    for (int x = 0; x < Image.width(); ++x) {
        const bool Ink = InkedColumn(Image, x);
        Runs += Ink && !InRun;
        InRun = Ink;
    }
    return Runs;
}

class LiveWindow : public testing::Test {
protected:
    TScopedFormatSettings Separators{"."};
    TRecordingSettings Settings;
    TScriptedDialogs Dialogs;

    // The read-out laid out for a screen of the given size.
    std::unique_ptr<TFrmLive> LaidOut(int Width, int Height) {
        auto Live = std::make_unique<TFrmLive>(Settings, nullptr);
        Live->setWindowState(Qt::WindowNoState);
        Live->resize(Width, Height);
        Live->FormResize();
        return Live;
    }
};

TEST_F(LiveWindow, LayoutDividesTheScreenAndKeepsTheLogoProportion) {
    struct TCase {
        QSize Screen;
        QRect Logo, Shoot, Speed, Weight, Energy;
        int ShootFont, SpeedFont, LowerFont;
    };
    for (const TCase& Case : {TCase{{1024, 768},
                                    {0, -2, 512, 87},
                                    {768, 0, 256, 153},
                                    {0, 256, 1024, 256},
                                    {0, 576, 512, 192},
                                    {512, 576, 512, 192},
                                    122,
                                    204,
                                    153},
                              TCase{{1920, 1080},
                                    {0, -2, 960, 164},
                                    {1440, 0, 480, 216},
                                    {0, 360, 1920, 360},
                                    {0, 810, 960, 270},
                                    {960, 810, 960, 270},
                                    172,
                                    288,
                                    216},
                              TCase{{1366, 767},
                                    {0, -2, 683, 116},
                                    {1025, 0, 341, 153},
                                    {0, 255, 1366, 255},
                                    {0, 576, 683, 191},
                                    {683, 576, 683, 191},
                                    122,
                                    204,
                                    152}}) {
        SCOPED_TRACE(Case.Screen.width());
        auto Live = LaidOut(Case.Screen.width(), Case.Screen.height());
        EXPECT_EQ(Live->imgLogo->geometry(), Case.Logo);
        EXPECT_EQ(Live->lblShoot->geometry(), Case.Shoot);
        EXPECT_EQ(Live->lblSpeed->geometry(), Case.Speed);
        EXPECT_EQ(Live->lblPeletWeight->geometry(), Case.Weight);
        EXPECT_EQ(Live->lblEnergy->geometry(), Case.Energy);
        EXPECT_EQ(Live->lblShoot->font().pixelSize(), Case.ShootFont);
        EXPECT_EQ(Live->lblSpeed->font().pixelSize(), Case.SpeedFont);
        EXPECT_EQ(Live->lblPeletWeight->font().pixelSize(), Case.LowerFont);
        EXPECT_EQ(Live->lblEnergy->font().pixelSize(), Case.LowerFont);
        EXPECT_EQ(Live->btnMenu->geometry(),
                  QRect(Case.Screen.width() - 26, Case.Screen.height() - 26, 25, 25));
    }
}

TEST_F(LiveWindow, ReadoutShowsTheShotWithItsPatternsAndLimitColours) {
    auto Live = LaidOut(1024, 768);
    Live->UpdateReadout(175.456, "m/s", 0.547, "g", 8.42, "J", 7);
    EXPECT_EQ(Text(Live->lblShoot), "  7.");
    EXPECT_EQ(Text(Live->lblSpeed), "175.46 m/s");
    EXPECT_EQ(Text(Live->lblPeletWeight), "0.547 g");
    EXPECT_EQ(Text(Live->lblEnergy), "8.42 J");

    // 12 ft·lbf is 16.2698 J: 0.541 g at 245.25 m/s carries 16.26992 J, over it, and 0.547 g at
    // 243.88 m/s 16.26708 J, under it; neither may read as the other's "16.27". A shot at a
    // limit reads red, and one a hair under it gets the decimals that keep it under, rounded
    // down past the sixth.
    const double Rifle = 12 * ImperialUnits.EnergyFactor;
    const struct {
        double Value, Limit;
        const char* Text;
        bool Red;
    } Rows[] = {{16.26991565625, Rifle, "16.27", true},
                {16.2670837784, Rifle, "16.267", false},
                {16.2698, Rifle, "16.2698", false},
                {12.0001, 12, "12.00", true},
                {11.9999, 12, "11.9999", false},
                {11.99999999, 12, "11.999999", false},
                {250, 250, "250.00", true},
                {17.1, NoLimit, "17.10", false},
                {-0.004, 0, "-0.004", false}};
    const QColor Red(255, 0, 0), Black(0, 0, 0);
    for (const auto& Row : Rows) {
        SCOPED_TRACE(Row.Text);
        Live->UpdateReadout(Row.Value, "fps", 0.547, "g", Row.Value, "J", 12,
                            {Row.Limit, Row.Limit});
        for (QLabel* Label : {Live->lblSpeed, Live->lblEnergy}) {
            EXPECT_EQ(Text(Label), Row.Text + std::string(Label == Live->lblSpeed ? " fps" : " J"));
            EXPECT_EQ(Label->palette().color(QPalette::WindowText), Row.Red ? Red : Black);
        }
        EXPECT_EQ(Live->lblShoot->palette().color(QPalette::WindowText), Black);
        EXPECT_EQ(Live->lblPeletWeight->palette().color(QPalette::WindowText), Black);
    }
}

TEST_F(LiveWindow, ReadoutUsesTheDecimalSeparatorInForceAndWidensForLargeNumbers) {
    TScopedFormatSettings Comma(",");
    auto Live = LaidOut(1024, 768);
    Live->UpdateReadout(175.456, "m/s", 0.547, "g", 8.42, "J", 7);
    EXPECT_EQ(Text(Live->lblSpeed), "175,46 m/s");
    EXPECT_EQ(Text(Live->lblPeletWeight), "0,547 g");
    EXPECT_EQ(Text(Live->lblEnergy), "8,42 J");
    Live->UpdateReadout(5.5, "m/s", 12.3456, "gr", 1234.567, "fpe", 1000);
    EXPECT_EQ(Text(Live->lblShoot), "1000.");
    EXPECT_EQ(Text(Live->lblSpeed), "5,50 m/s");
    EXPECT_EQ(Text(Live->lblPeletWeight), "12,346 gr");
    EXPECT_EQ(Text(Live->lblEnergy), "1234,57 fpe");
}

TEST_F(LiveWindow, TheLimitColourIsWhatThePictureShows) {
    auto Live = LaidOut(1024, 768);
    Live->UpdateReadout(250, "m/s", 0.547, "g", 17.1, "J", 12, {250, 20});
    const QImage Speed = Rendered(Live->lblSpeed);
    const QImage Energy = Rendered(Live->lblEnergy);
    EXPECT_GT(PixelsOf(Speed, qRgb(255, 0, 0)), 1000);
    EXPECT_EQ(PixelsOf(Speed, qRgb(0, 0, 0)), 0);
    EXPECT_GT(PixelsOf(Energy, qRgb(0, 0, 0)), 1000);
    EXPECT_EQ(PixelsOf(Energy, qRgb(255, 0, 0)), 0);
}

TEST_F(LiveWindow, TextTooWideForItsLabelIsDrawnSmallerInsteadOfCutOff) {
    auto Live = LaidOut(1024, 768);
    Live->UpdateReadout(1012.5, "fps", 14.35, "gr", 32.64, "fpe", 1000);
    for (TFittingLabel* Label :
         {Live->lblShoot, Live->lblSpeed, Live->lblPeletWeight, Live->lblEnergy}) {
        SCOPED_TRACE(Text(Label));
        const int Size = Label->DrawnPixelSize();
        EXPECT_LT(Size, Label->font().pixelSize());
        const auto DrawnWidth = [&](int PixelSize) {
            QFont Drawn = Label->font();
            Drawn.setPixelSize(PixelSize);
            return QFontMetrics(Drawn).horizontalAdvance(Label->text());
        };
        EXPECT_LE(DrawnWidth(Size), Label->contentsRect().width());
        EXPECT_GT(DrawnWidth(Size + 1), Label->contentsRect().width()) << "only as small as needed";
        const QImage Picture = Rendered(Label);
        EXPECT_FALSE(Inked(Picture, 0, 10)) << "no ink at the left edge";
        EXPECT_FALSE(Inked(Picture, Picture.width() - 10, 10)) << "no ink at the right edge";
    }
    EXPECT_EQ(InkedColumnRuns(Rendered(Live->lblShoot)), 5) << "all of 1000. is drawn";

    Live->UpdateReadout(175.456, "m/s", 0.547, "g", 8.42, "J", 7);
    EXPECT_EQ(Live->lblShoot->DrawnPixelSize(), 122) << "short texts get the full size back";
    EXPECT_EQ(InkedColumnRuns(Rendered(Live->lblShoot)), 2);
}

TEST_F(LiveWindow, FittedSizeIsTheLargestThatFits) {
    const QFont Font = ArialFont(100);
    const QString Text = QStringLiteral("1234.56 fps");
    const auto Width = [&](int Size) {
        QFont Sized = Font;
        Sized.setPixelSize(Size);
        return QFontMetrics(Sized).horizontalAdvance(Text);
    };
    EXPECT_EQ(FittedPixelSize(Font, Text, 100, Width(100)), 100);
    EXPECT_EQ(FittedPixelSize(Font, Text, 100, 10000), 100);
    for (int Room : {Width(100) - 1, Width(80), Width(37) + 1, 200}) {
        SCOPED_TRACE(Room);
        const int Size = FittedPixelSize(Font, Text, 100, Room);
        EXPECT_LE(Width(Size), Room);
        EXPECT_GT(Width(Size + 1), Room);
    }
    EXPECT_EQ(FittedPixelSize(Font, Text, 100, 0), 1);
}

TEST_F(LiveWindow, OpensWithPlaceholdersInTheCurrentUnits) {
    TScopedFormatSettings Point(".");
    for (bool Imperial : {false, true}) {
        Settings.Imperial = Imperial;
        TFrmLive Live(Settings, nullptr);
        const auto Texts =
            std::vector<std::string>{Text(Live.lblShoot), Text(Live.lblSpeed),
                                     Text(Live.lblPeletWeight), Text(Live.lblEnergy)};
        if (Imperial)
            EXPECT_THAT(Texts, ElementsAre("---.", "---,-- fps", "-,--- gr", "--,-- fpe"));
        else
            EXPECT_THAT(Texts, ElementsAre("---.", "---,-- m/s", "-,--- g", "--,-- J"));
    }
}

TEST_F(LiveWindow, ShowsFramelessAndWhiteOverTheWholeScreenOfItsOwner) {
    TOwnerWindow Owner;
    TFrmLive Live(Settings, &Owner);
    Live.show();
    EXPECT_TRUE(Live.isWindow());
    EXPECT_TRUE(Live.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(Live.geometry(), Owner.screen()->geometry());
    EXPECT_EQ(Live.lblSpeed->width(), Live.width()) << "laid out on show";
    const QImage Picture = Rendered(&Live);
    EXPECT_EQ(Picture.pixel(Live.width() / 2, Live.height() / 4), qRgb(255, 255, 255));
    Live.close();
    EXPECT_EQ(Owner.findChildren<TFrmLive*>().size(), 1) << "the owner keeps it";
}

TEST_F(LiveWindow, MenuCaptionsFollowTheLanguageFromTheFirstLayoutOn) {
    TFrmLive Live(Settings, nullptr);
    EXPECT_EQ(Live.miSetup->text().toStdString(), "Setup...");
    EXPECT_EQ(Live.miCloselive->text().toStdString(), "Close live");
    for (const auto& [Language, Setup, Close] :
         {std::tuple{9, "Setup", "Close"}, std::tuple{5, "Nastavení", "Zavřít"},
          std::tuple{7, "Einstellung", "Schließen"}}) {
        Settings.LanguageCode = Language;
        Live.FormResize();
        EXPECT_EQ(Live.miSetup->text().toStdString(), Setup);
        EXPECT_EQ(Live.miCloselive->text().toStdString(), Close);
    }
    EXPECT_EQ(Live.PopMenu->actions(), (QList<QAction*>{Live.miSetup, Live.miCloselive}));
}

TEST_F(LiveWindow, SetupItemRunsTheSetupWindowOfTheOwnerThenRelaysOut) {
    QWidget Owner;
    TFrmLive Live(Settings, &Owner);
    Live.FormResize();
    QWidget* SetupParent = nullptr;
    Dialogs.OnExecute = [&](QDialog& Dialog) {
        auto& Setup = dynamic_cast<TFrmSetup&>(Dialog);
        SetupParent = Setup.parentWidget();
        Setup.show();
        Setup.btnDeutsch->click();
        return int(QDialog::Accepted);
    };
    Live.miSetup->trigger();
    EXPECT_EQ(Dialogs.ExecutedDialogs, 1);
    EXPECT_EQ(SetupParent, &Owner);
    EXPECT_EQ(Settings.LanguageCode, 7);
    EXPECT_EQ(Live.miSetup->text().toStdString(), "Einstellung");
    EXPECT_EQ(Live.miCloselive->text().toStdString(), "Schließen");
    EXPECT_TRUE(Owner.findChildren<TFrmSetup*>().isEmpty()) << "released when it closes";
}

TEST_F(LiveWindow, CloseItemAndEscapeHideTheReadoutWhichKeepsUpdating) {
    QWidget Owner;
    TFrmLive Live(Settings, &Owner);
    Live.show();
    QKeyEvent Other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&Live, &Other);
    EXPECT_TRUE(Live.isVisible());
    QKeyEvent Escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(Live.btnMenu, &Escape);
    EXPECT_FALSE(Live.isVisible()) << "Escape reaches the window from its button too";

    Live.show();
    Live.miCloselive->trigger();
    EXPECT_FALSE(Live.isVisible());
    Live.UpdateReadout(100, "m/s", 0.5, "g", 2.5, "J", 3);
    EXPECT_EQ(Text(Live.lblShoot), "  3.");
}

TEST_F(LiveWindow, MenuButtonOpensTheMenuAtTheBottomRightCorner) {
    TFrmLive Live(Settings, nullptr);
    Live.show();
    Live.btnMenu->click();
    EXPECT_TRUE(Live.PopMenu->isVisible());
    const QRect Screen = Live.screen()->geometry();
    EXPECT_LE(Live.PopMenu->geometry().right(), Screen.right());
    EXPECT_LE(Live.PopMenu->geometry().bottom(), Screen.bottom());
    EXPECT_GT(Live.PopMenu->geometry().right(), Screen.right() - Live.PopMenu->width() - 30);
    Live.PopMenu->close();
}

TEST_F(LiveWindow, LogoIsTheTeamsPictureStretchedOverHalfTheScreen) {
    auto Live = LaidOut(1024, 768);
    EXPECT_EQ(Live->imgLogo->pixmap().size(), QSize(438, 75));
    const QImage Picture = Rendered(Live->imgLogo);
    EXPECT_TRUE(Inked(Picture, 0, 40)) << "the sight at the left";
    EXPECT_TRUE(Inked(Picture, 460, 40)) << "the underline reaches the right end of 512 pixels";
}

} // namespace
