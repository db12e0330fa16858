// Pages built directly in memory for the transponder and copy/paste tests: channel and
// transponder rows with given texts and colours, favourites entries kept consistent
// with the channels' "Preferenza".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "channels/list_page.h"

namespace rivo::pages {

// The symbol-rate table of made pages: code i stands for kRates[i].
inline constexpr std::array<std::int32_t, 16> kRates = {27500, 22000, 29900, 30000, 27000, 6111, 5632, 28000,
                                                        26000, 25000, 24000, 23000, 21000, 20000, 19000, 18000};

// A page of empty channels and free transponders (as the page builder leaves them),
// eight empty favourites lists, satellites "HotBird" (A) and "Astra" (B), LNB 9750/10600,
// the rates above, the given image identity.
ListPage MakePage(int channels, int transponders, std::uint64_t imageId = 1);

struct Transponder {
    std::string frequency = "11747";
    std::string tid = "1100";
    std::string nid = "1";
    std::string channels = "1";
    std::string symbolRate = "27500";
    std::string fec = "3/4";
    std::string polarisation = "H";
    std::string tone = "Off";
    std::string satellite = "HotBird";
};
// Writes a transponder row; green, or grey when its "Frequenza" is "0".
void SetTransponder(ListPage& page, int row, const Transponder& values);

// Writes a channel row in use (status "04": active) on transponder `transponder`, with
// the colour rule applied; `favourites` is only the "Preferenza" text.
void SetChannel(ListPage& page, int row, const std::string& name, int transponder,
                const std::string& vpid = "512", const std::string& apid = "650",
                const std::string& status = "04");

// Puts channel `channel` into list `list` (1..8): the first empty slot gets it and the
// channel's "Preferenza" gains the list's bit.
void AddFavourite(ListPage& page, int list, int channel);

// The channel numbers of list `list` (1..8), slot order, empty slots left out.
std::vector<int> Favourites(const ListPage& page, int list);

// The "Trasponder" column of channel rows 1..N as numbers (-1 for non-numbers).
std::vector<int> ChannelTransponders(const ListPage& page);

// A large page for benchmarks: `channels` channels spread over `transponders`
// transponders (all in use), every tenth channel in a favourites list.
ListPage MakeLargePage(int channels, int transponders, std::uint64_t imageId, bool duplicateEveryTransponder = false);

}  // namespace rivo::pages

#include <deque>

#include "channels/user_prompts.h"

namespace rivo::pages {

// Answers questions from a entry (Yes when the entry has run out) and records every
// message: its text, title, icon and buttons.
class ScriptedPrompts final : public UserPrompts {
public:
    struct Asked {
        std::string text, title;
        Icon icon;
        Buttons buttons;
        bool discarding;  // asked as a question whose "Sì" throws work away
    };
    explicit ScriptedPrompts(std::deque<Answer> answers = {}) : answers_(std::move(answers)) {}
    Answer ask(const std::string& text, const std::string& title, Icon icon, Buttons buttons) override {
        asked.push_back({text, title, icon, buttons, false});
        if (buttons == Buttons::Ok) return Answer::Ok;
        if (answers_.empty()) return Answer::Yes;
        const Answer a = answers_.front();
        answers_.pop_front();
        return a;
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

// Records the gauge and status texts.
class RecordingProgress final : public Progress {
public:
    void show(int percent) override { shown = true; last = percent; }
    void set(int percent) override { last = percent; }
    void hide() override { shown = false; }
    void status(const std::string& text) override { statuses.push_back(text); }
    bool shown = false;
    int last = -1;
    std::vector<std::string> statuses;
};

}  // namespace rivo::pages
