// Scripted prompts and a recording progress for the channel editing tests.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "channels/user_prompts.h"

namespace rivo::testing {

// Answers questions from a entry and records everything asked. With the entry used
// up, a question is answered Cancel (or No where there is no Cancel).
class ScriptedPrompts final : public UserPrompts {
public:
    struct Asked {
        std::string text;
        std::string title;
        Icon icon;
        Buttons buttons;
        bool discarding;  // asked as a question whose "Sì" throws work away
    };

    explicit ScriptedPrompts(std::deque<Answer> answers = {}) : answers_(std::move(answers)) {}

    Answer ask(const std::string& text, const std::string& title, Icon icon, Buttons buttons) override {
        asked.push_back({text, title, icon, buttons, false});
        if (buttons == Buttons::Ok) return Answer::Ok;
        if (!answers_.empty()) {
            const Answer a = answers_.front();
            answers_.pop_front();
            return a;
        }
        return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    }

    Answer askDiscarding(const std::string& text, const std::string& title, Icon icon,
                         Buttons buttons) override {
        const Answer answer = ask(text, title, icon, buttons);
        asked.back().discarding = true;
        return answer;
    }
    std::vector<Asked> asked;

private:
    std::deque<Answer> answers_;
};

// Records the gauge and status calls as words: "show 0", "status Spostamento...",
// "set 100", "hide".
class RecordingProgress final : public Progress {
public:
    void show(int percent) override { events.push_back("show " + std::to_string(percent)); }
    void set(int percent) override { events.push_back("set " + std::to_string(percent)); }
    void hide() override { events.push_back("hide"); }
    void status(const std::string& text) override { events.push_back("status " + text); }
    std::vector<std::string> events;
};

}  // namespace rivo::testing
