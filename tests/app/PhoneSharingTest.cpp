// The main window's read-out shared with a phone, as a shooter uses it: the chronograph on a
// pseudo-terminal, sharing switched on, the page open in Debian's chromium on loopback.

#include "app/UChartPanel.h"
#include "app/UConnectionPanel.h"
#include "app/UMainForm.h"
#include "app/UStatisticsPanel.h"
#include "platform/PseudoTerminal.h"
#include "serial/CPort.h"
#include "simulator/RecordGenerator.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/HeadlessChromium.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WaitUntil.h"
#include "windows/FittingLabel.h"
#include "windows/UFrmLive.h"

#include <QLabel>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

class PhoneSharingTest : public testing::Test {
protected:
    PhoneSharingTest() {
        std::filesystem::create_directories(Folder.Path() / "tarvex");
        // In Czech; the read-out only on loopback, at any free port.
        tests::WriteFileText(Folder.File("tarvex/settings.ini"),
                             "[user-interface]\nlanguage=5\n[phone]\nport=0\naddress=127.0.0.1\n");
        Form.show();
        Form.pnlConnection->ComPort().SetPort(Device.SlavePath());
        Form.pnlConnection->ComPort().OpenPort();
    }

    void Shoot() { Device.Write(Records.Next() + "\r\n"); }

    QString Page(const char* Selector) {
        return Browser
            .Evaluate(QStringLiteral("document.querySelector('%1').textContent").arg(Selector))
            .toString();
    }

    TScopedFormatSettings Point{"."};
    TScriptedDialogs Dialogs;
    tests::TTempFolder Folder;
    TScopedEnvironment DataFolder{"XDG_CONFIG_HOME", Folder.Path().string()};
    TScopedEnvironment LibraryFolder{"XDG_DATA_HOME", Folder.File("data")};
    platform::TPseudoTerminal Device;
    chronosim::TRecordGenerator Records{chronosim::TRecordOptions{}};
    TMainForm Form{{}, 1ms};
    THeadlessChromium Browser;
};

// The page says what the laptop says: the live read-out's texts, the statistics' count and mean
// and the spread above the chart.
TEST_F(PhoneSharingTest, AShotReachesThePageWithinASecondAndReadsAsOnTheLaptop) {
    Form.PhoneSharing().StartSharing();
    const std::vector<std::string> Addresses = Form.PhoneSharing().Addresses();
    ASSERT_EQ(Addresses.size(), 1u);
    ASSERT_EQ(Browser.Open(QString::fromStdString(Addresses.front())), 200);
    ASSERT_TRUE(Browser.WaitFor("document.querySelector('#status').textContent !== ''", 5s));
    Shoot();
    EXPECT_TRUE(Browser.WaitFor("document.querySelector('#count').textContent === '1'", 1s));
    EXPECT_EQ(Page("[data-text=count]"), QString::fromUtf8("Výstřely"));
    Form.btnLiveClick();
    auto* Live = Form.findChild<TFrmLive*>();
    ASSERT_NE(Live, nullptr);
    for (int i = 0; i < 4; ++i)
        Shoot();
    ASSERT_TRUE(Browser.WaitFor("document.querySelector('#count').textContent === '5'", 5s));
    ASSERT_TRUE(WaitUntil([&] { return Form.gbStatistics->lblShotsValue->text() == "5"; }));
    EXPECT_EQ(Page("#shot-number"), "5");
    EXPECT_EQ(Page("#shot-speed"), Live->lblSpeed->text());
    EXPECT_EQ(Page("#shot-energy"), Live->lblEnergy->text());
    EXPECT_EQ(Page("#shot-weight"), Live->lblPeletWeight->text());
    EXPECT_EQ(Page("#mean"), Form.gbStatistics->lblAVGSpeedValue->text() + " m/s");
    const QString Spread =
        QStringLiteral("R %1  SO %2 m/s").arg(Page("#es").chopped(4), Page("#sd").chopped(4));
    EXPECT_EQ(Form.pnlMiddleBottom->lblSpreadText->text().section('\n', 0, 0), Spread);
    Form.close();
    EXPECT_FALSE(Form.PhoneSharing().Sharing());
    EXPECT_TRUE(Dialogs.Errors.empty());
}

} // namespace
