#pragma once

// Every modal interaction of the program (confirmations, the error box, modal windows, file
// dialogs, opening a web address) goes through one interface. The default shows Qt's real
// dialogs; tests put a scripted one in force and never wait on a real window. A program that uses
// them also shows the application's errors (platform/ErrorDisplay.h) in their error box.

#include <optional>
#include <string>

class QDialog;
class QWidget;

namespace platform {

// Save replaces an existing file without asking, as saving a series always has; Export asks
// first, because an export, a report or a picture may be given the name of a series' data file.
enum class TFileDialogKind { Open, Save, Export };

class TModalDialogs {
public:
    virtual ~TModalDialogs() = default;

    // A question box with a question icon and the buttons Yes and No; true for Yes.
    virtual bool AskYesNo(QWidget* Parent, const std::string& Text) = 0;
    // The application's standard error box.
    virtual void ShowError(QWidget* Parent, const std::string& Message) = 0;
    // A message box that only informs, with an OK button.
    virtual void ShowInformation(QWidget* Parent, const std::string& Message) = 0;
    // Runs Dialog modally and returns its result (QDialog::Accepted or QDialog::Rejected).
    virtual int Execute(QDialog& Dialog) = 0;
    // A file dialog with one filter such as "*.csv"; a name typed without an extension gets
    // DefaultSuffix. Nothing when the user cancels.
    virtual std::optional<std::string> AskFileName(QWidget* Parent, TFileDialogKind Kind,
                                                   const std::string& Filter,
                                                   const std::string& DefaultSuffix) = 0;
    // Opens a web address in the user's browser.
    virtual void OpenUrl(const std::string& Url) = 0;
};

// The dialogs in force: Qt's, unless a test has put others in force.
TModalDialogs& ModalDialogs();
// Puts Dialogs in force; nullptr brings back Qt's. The caller keeps ownership.
void SetModalDialogs(TModalDialogs* Dialogs);

} // namespace platform
