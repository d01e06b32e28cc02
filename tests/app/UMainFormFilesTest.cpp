// Loading and saving data files through the main window: the pointer shows the wait while a
// file is read or written and comes back afterwards, also when the file fails.

#include "app/UMainForm.h"
#include "app/UShotTable.h"
#include "platform/HandlerGuard.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/ScriptedDialogs.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

bool WaitCursorShown() {
    const QCursor* Cursor = QGuiApplication::overrideCursor();
    return Cursor && Cursor->shape() == Qt::WaitCursor;
}

class MainFormFilesTest : public testing::Test {
protected:
    MainFormFilesTest() {
        Form.show();
        // The table shows the loaded shots before the load ends: the pointer is looked at there.
        QObject::connect(Form.stringGridLeft->model(), &QAbstractItemModel::modelReset,
                         [this] { CursorDuringLoad.push_back(WaitCursorShown()); });
    }

    void Click(void (TMainForm::*Button)(), const std::string& FileName) {
        Dialogs.FileNames = {FileName};
        RunGuarded(&Form, [&] { (Form.*Button)(); });
    }

    TScopedFormatSettings Point{"."};
    tests::TTempFolder Folder;
    TScopedEnvironment DataFolder{"XDG_CONFIG_HOME", Folder.Path().string()};
    TScopedEnvironment LibraryFolder{"XDG_DATA_HOME", Folder.File("data")};
    TScriptedDialogs Dialogs;
    TMainForm Form{{}};
    std::vector<bool> CursorDuringLoad;
};

TEST_F(MainFormFilesTest, TheWaitCursorShowsWhileAFileLoadsAndGoesAfterwards) {
    tests::WriteFileText(Folder.File("good.csv"), "175\n176\n");
    Click(&TMainForm::btnLoadDataClick, Folder.File("good.csv"));
    EXPECT_EQ(CursorDuringLoad, std::vector<bool>{true});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(MainFormFilesTest, AFailedLoadOrSaveGivesThePointerBack) {
    tests::WriteFileText(Folder.File("bad.csv"), "175\nabc\n");
    Click(&TMainForm::btnLoadDataClick, Folder.File("bad.csv"));
    EXPECT_EQ(CursorDuringLoad, std::vector<bool>{true});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    Click(&TMainForm::btnSaveDataClick, Folder.File("missing/folder/saved.csv"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Dialogs.Errors.size(), 2u);
}

} // namespace
