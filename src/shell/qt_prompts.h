// The editor's side of the core's prompt and progress interfaces: modal message boxes,
// and the gauge and text of the main window's status bar.
#pragma once

#include <QElapsedTimer>
#include <QPointer>

#include "channels/user_prompts.h"

class QProgressBar;
class QStatusBar;
class QWidget;

class MessageBoxPrompts final : public rivo::UserPrompts {
public:
    explicit MessageBoxPrompts(QWidget* parent) : parent_(parent) {}
    rivo::Answer ask(const std::string& text, const std::string& title, rivo::Icon icon,
                     rivo::Buttons buttons) override;
    rivo::Answer askDiscarding(const std::string& text, const std::string& title, rivo::Icon icon,
                               rivo::Buttons buttons) override;

private:
    rivo::Answer show(const std::string& text, const std::string& title, rivo::Icon icon,
                      rivo::Buttons buttons, bool discarding);
    QPointer<QWidget> parent_;
};

class StatusBarProgress final : public rivo::Progress {
public:
    StatusBarProgress(QProgressBar* gauge, QStatusBar* bar) : gauge_(gauge), bar_(bar) {}
    void show(int percent) override;
    void set(int percent) override;
    void hide() override;
    void status(const std::string& text) override;

private:
    // Moves the gauge to percent when enough time has passed since it was last drawn:
    // the progress bar draws itself at once on every change of its text, which would
    // cost more than the operation it reports.
    void draw(int percent);

    QPointer<QProgressBar> gauge_;
    QPointer<QStatusBar> bar_;
    QElapsedTimer lastDrawn_;
};
