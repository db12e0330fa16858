// How the core asks the user and reports progress without knowing who answers.
//
// The editor implements these with message boxes and the status bar; the command-line
// tool with the answers given on its command line; the tests with scripted fakes that
// record what was asked.
#pragma once

#include <string>

namespace rivo {

enum class Icon { Warning, Question, Error, Information };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // A modal message box: text, title, icon and buttons; returns the button pressed.
    virtual Answer ask(const std::string& text, const std::string& title, Icon icon,
                       Buttons buttons) = 0;
    // A question whose "Sì" throws away work or data: "No" (or "Annulla" where it is
    // offered) is the default and the Escape answer, so a hurried Enter keeps
    // everything. Answerers without a default button answer it as any question.
    virtual Answer askDiscarding(const std::string& text, const std::string& title, Icon icon,
                                 Buttons buttons) {
        return ask(text, title, icon, buttons);
    }
    // A message with one OK button.
    void tell(const std::string& text, const std::string& title, Icon icon) {
        ask(text, title, icon, Buttons::Ok);
    }
};

class Progress {
public:
    virtual ~Progress() = default;
    virtual void show(int percent) = 0;  // shows the gauge at a whole percentage 0..100
    virtual void set(int percent) = 0;   // moves the gauge
    virtual void hide() = 0;
    virtual void status(const std::string& text) = 0;  // the status-bar text
};

// Progress that goes nowhere (batch use, tests that do not look at it).
class NullProgress final : public Progress {
public:
    void show(int) override {}
    void set(int) override {}
    void hide() override {}
    void status(const std::string&) override {}
};

}  // namespace rivo
