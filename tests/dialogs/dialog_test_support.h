// What the dialog tests share: a prompts answerer that records what the user was told,
// and the scoped test hook that plays the user on a dialog shown through execModal.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "channels/user_prompts.h"

// Answers every message Ok and records its text and icon.
class RecordingPrompts : public rivo::UserPrompts {
public:
    rivo::Answer ask(const std::string& text, const std::string&, rivo::Icon icon,
                     rivo::Buttons) override {
        texts.push_back(text);
        icons.push_back(icon);
        return rivo::Answer::Ok;
    }
    std::vector<std::string> texts;
    std::vector<rivo::Icon> icons;
};

// Answers questions from a queue (No when it runs dry) and records them.
class AnsweringPrompts : public rivo::UserPrompts {
public:
    rivo::Answer ask(const std::string& text, const std::string&, rivo::Icon,
                     rivo::Buttons buttons) override {
        texts.push_back(text);
        discarding.push_back(false);
        if (buttons == rivo::Buttons::Ok) return rivo::Answer::Ok;
        if (answers.empty()) return rivo::Answer::No;
        const rivo::Answer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    rivo::Answer askDiscarding(const std::string& text, const std::string& title, rivo::Icon icon,
                               rivo::Buttons buttons) override {
        const rivo::Answer answer = ask(text, title, icon, buttons);
        discarding.back() = true;
        return answer;
    }
    std::vector<rivo::Answer> answers;
    std::vector<std::string> texts;
    std::vector<bool> discarding;  // asked with No as the default answer
};

// Sets Dialog's test hook for one scope; the hook plays the user on the shown dialog.
template <class Dialog>
struct ScopedExecHook {
    explicit ScopedExecHook(typename Dialog::ExecHook hook) {
        Dialog::setExecHook(std::move(hook));
    }
    ~ScopedExecHook() { Dialog::setExecHook({}); }
    ScopedExecHook(const ScopedExecHook&) = delete;
    ScopedExecHook& operator=(const ScopedExecHook&) = delete;
};
