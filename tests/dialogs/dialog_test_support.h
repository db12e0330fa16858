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
    rivo::Answer ask(const std::string& text, const std::string&, rivo::Icon icon, rivo::Buttons) override {
        texts.push_back(text);
        icons.push_back(icon);
        return rivo::Answer::Ok;
    }
    std::vector<std::string> texts;
    std::vector<rivo::Icon> icons;
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
