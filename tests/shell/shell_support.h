// What the window tests share: a prompts answerer that records every question, files
// written into a temporary folder, and opening an image through the real open dialog.
#pragma once

// Fixture builders before any Qt header: their field names clash with Qt's macros.
#include "channel_fixtures.h"

#include <QString>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "channels/user_prompts.h"

class PageView;
class OpenDialog;
class MainWindow;

struct AskedQuestion {
    std::string text;
    std::string title;
    rivo::Icon icon;
    rivo::Buttons buttons;
    bool discarding;  // asked as a question whose "Sì" throws work away
};

// Answers from a queue; a question with buttons and no answer left is answered Cancel
// (or No) and counted as unexpected. Ok boxes need no answer.
class ScriptedPrompts final : public rivo::UserPrompts {
public:
    rivo::Answer ask(const std::string& text, const std::string& title, rivo::Icon icon,
                     rivo::Buttons buttons) override;
    rivo::Answer askDiscarding(const std::string& text, const std::string& title, rivo::Icon icon,
                               rivo::Buttons buttons) override;
    std::deque<rivo::Answer> answers;
    std::vector<AskedQuestion> asked;
    int unexpected = 0;
    void clear() { asked.clear(); answers.clear(); unexpected = 0; }
};

// A folder with an "Sr.Ini" whose first set holds the fixtures' symbol rates.
class ShellFolder {
public:
    ShellFolder();
    QString root() const;
    // Writes bytes to a file of the folder and returns its path.
    QString write(const std::string& name, const rivo::Bytes& bytes) const;
    QString path(const std::string& name) const;

private:
    rivo::testsupport::TempFolder folder_;
};

// Standard ini text: "Fixture" (the fixtures' rates), "Personalizzato", "Ridotto" (SR03
// is -1 and SR0C missing).
std::string StandardIni();

// A main window that talks to prompts, looks for Sr.Ini in folder, and opens files by
// filling the real open dialog (choosing `path` through "Sfoglia", then Ok).
void PrepareWindow(MainWindow& window, ScriptedPrompts& prompts, const ShellFolder& folder);
// Selects channel rows first .. last (1-based) as a user's click and Shift+click do,
// the first one current.
void SelectChannels(PageView& view, int first, int last);
// Opens path through the real open dialog; adjust may change the dialog's controls
// before Ok. Returns whether a page was added.
bool OpenThroughDialog(MainWindow& window, const QString& path,
                       const std::function<void(OpenDialog&)>& adjust = {});
// Opens path on a page of its own although another page shows it already: answers "No"
// to the question offering that page, and checks and forgets that it was asked.
bool OpenAgain(MainWindow& window, ScriptedPrompts& prompts, const QString& path);
