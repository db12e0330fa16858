// A prompts answerer for the dialog tests: answers every message Ok and records its
// text and icon, so a test can check what the user was told.
#pragma once

#include <string>
#include <vector>

#include "channels/user_prompts.h"

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
