#pragma once

#include "platform/ModalDialogs.h"

#include <QDialog>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Answers every modal interaction from a script while it is in force, and records what was
// asked, so that no test ever waits on a real window.
class TScriptedDialogs final : public platform::TModalDialogs {
public:
    TScriptedDialogs() { platform::SetModalDialogs(this); }
    ~TScriptedDialogs() override { platform::SetModalDialogs(nullptr); }
    TScriptedDialogs(const TScriptedDialogs&) = delete;
    TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

    // Answers of the Yes/No questions, in order; a question beyond them is answered No.
    std::deque<bool> YesNoAnswers;
    // Runs while a question is open, as the events that arrive meanwhile would.
    std::function<void()> OnYesNo;
    // Runs each modal dialog: it may work the dialog's controls, and returns its result.
    // Unset, every dialog is cancelled.
    std::function<int(QDialog&)> OnExecute;
    // Answers of the file dialogs, in order; nothing (cancel) beyond them.
    std::deque<std::optional<std::string>> FileNames;

    std::vector<std::string> Questions;
    std::vector<std::string> Errors;
    std::vector<std::string> Informations;
    std::vector<std::string> OpenedUrls;
    struct TFileDialog {
        platform::TFileDialogKind Kind;
        std::string Filter;
    };
    std::vector<TFileDialog> FileDialogs;
    int ExecutedDialogs = 0;

    bool AskYesNo(QWidget*, const std::string& Text) override {
        Questions.push_back(Text);
        if (OnYesNo)
            OnYesNo();
        return Take(YesNoAnswers).value_or(false);
    }
    void ShowError(QWidget*, const std::string& Message) override { Errors.push_back(Message); }
    void ShowInformation(QWidget*, const std::string& Message) override {
        Informations.push_back(Message);
    }
    int Execute(QDialog& Dialog) override {
        ++ExecutedDialogs;
        const int Result = OnExecute ? OnExecute(Dialog) : int(QDialog::Rejected);
        Dialog.setResult(Result);
        return Result;
    }
    std::optional<std::string> AskFileName(QWidget*, platform::TFileDialogKind Kind,
                                           const std::string& Filter, const std::string&) override {
        FileDialogs.push_back({Kind, Filter});
        return Take(FileNames).value_or(std::nullopt);
    }
    void OpenUrl(const std::string& Url) override { OpenedUrls.push_back(Url); }

private:
    template <typename T>
    static std::optional<T> Take(std::deque<T>& Queue) {
        if (Queue.empty())
            return std::nullopt;
        T Front = std::move(Queue.front());
        Queue.pop_front();
        return Front;
    }
};
