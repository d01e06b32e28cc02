#include "platform/ModalDialogs.h"

#include "platform/ErrorDisplay.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace platform {
namespace {

class TQtDialogs final : public TModalDialogs {
public:
    bool AskYesNo(QWidget* Parent, const std::string& Text) override {
        return QMessageBox::question(Parent, QString(), QString::fromStdString(Text),
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }

    void ShowError(QWidget* Parent, const std::string& Message) override {
        QMessageBox::critical(Parent, QString(), QString::fromStdString(Message));
    }

    void ShowInformation(QWidget* Parent, const std::string& Message) override {
        QMessageBox::information(Parent, QString(), QString::fromStdString(Message));
    }

    int Execute(QDialog& Dialog) override { return Dialog.exec(); }

    std::optional<std::string> AskFileName(QWidget* Parent, TFileDialogKind Kind,
                                           const std::string& Filter,
                                           const std::string& DefaultSuffix) override {
        QFileDialog Dialog(Parent);
        const bool Saving = Kind != TFileDialogKind::Open;
        Dialog.setAcceptMode(Saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        Dialog.setFileMode(Saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        Dialog.setNameFilter(QString::fromStdString(Filter));
        Dialog.setDefaultSuffix(QString::fromStdString(DefaultSuffix));
        Dialog.setOption(QFileDialog::DontConfirmOverwrite, Kind == TFileDialogKind::Save);
        if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return Dialog.selectedFiles().first().toStdString();
    }

    void OpenUrl(const std::string& Url) override {
        QDesktopServices::openUrl(QUrl(QString::fromStdString(Url)));
    }
};

TQtDialogs QtDialogs;
TModalDialogs* CurrentDialogs = &QtDialogs;

} // namespace

TModalDialogs& ModalDialogs() {
    return *CurrentDialogs;
}

void SetModalDialogs(TModalDialogs* Dialogs) {
    CurrentDialogs = Dialogs ? Dialogs : &QtDialogs;
}

namespace {

void ShowInErrorBox(const std::string& Message) {
    ModalDialogs().ShowError(nullptr, Message);
}

// This file is part of every program that shows dialogs: errors that reach no handler are shown
// there in the error box of the dialogs in force.
[[maybe_unused]] const bool ErrorBoxInForce = (SetApplicationErrorDisplay(ShowInErrorBox), true);

} // namespace

} // namespace platform
