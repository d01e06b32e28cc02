#pragma once

// A pair of arrow buttons, up over down, that step a number in a neighbouring edit. Holding an
// arrow down repeats its click.

#include <QWidget>
#include <functional>

class QToolButton;

class TSpinButton : public QWidget {
public:
    explicit TSpinButton(QWidget* Parent);

    std::function<void()> OnUpClick;
    std::function<void()> OnDownClick;

    QToolButton* UpButton() const { return FUpButton; }
    QToolButton* DownButton() const { return FDownButton; }

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    QToolButton* FUpButton;
    QToolButton* FDownButton;
};
