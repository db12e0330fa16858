// How every operation of `rivo800-tool edit` reads its words and answers the editor's
// questions, and the table shape the operation files register their operations from:
// name, arity, handler. A bad argument is the usage error "OPERATION: message" (exit 1);
// a refusal of the editor is its message (exit 4).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "channels/user_prompts.h"
#include "tool/tool.h"

namespace rivo::tool {

// The words of one operation: words[pos] is its name, argument `at` is words[pos + at].
class EditArgs {
public:
    EditArgs(const std::vector<std::string>& words, std::size_t pos, std::string operation)
        : words_(words), pos_(pos), operation_(std::move(operation)) {}

    const std::string& operation() const { return operation_; }
    const std::vector<std::string>& words() const { return words_; }
    std::size_t pos() const { return pos_; }

    // Ends the command with the usage error "OPERATION: message".
    [[noreturn]] void usage(const std::string& message) const;

    bool has(std::size_t at) const { return pos_ + at < words_.size(); }
    // Argument `at`, which must be there (see has).
    const std::string& operator[](std::size_t at) const { return words_[pos_ + at]; }
    // Whether argument `at` is there and is text (an optional word).
    bool given(std::size_t at, const std::string& text) const { return has(at) && words_[pos_ + at] == text; }
    // Argument `at`; "missing WHAT" when the words end before it.
    const std::string& word(std::size_t at, const std::string& what) const;

    // Argument `at` as a row 1..rows of a table ("channel", "transponder"): anything else,
    // a word that is no number included, is "WHAT 'TEXT' is not a TABLE row (1..ROWS)".
    int row(std::size_t at, const char* what, int rows, const char* table = "channel") const;
    // Argument `at` as a number lo..hi read as the channel number dialog reads it:
    // "WHAT 'TEXT' is not a number", or "WHAT 'TEXT' is not RANGE" outside lo..hi.
    int number(std::size_t at, const char* what, int lo, int hi, const std::string& range) const;
    // A block FIRST..LAST: "FIRST f is after LAST l" when it runs backwards.
    void checkOrder(int first, int last) const;
    // Argument `at` as one of two words, named "FIRST|SECOND" when missing and refused
    // with "'WORD' is neither FIRST nor SECOND"; true for the first.
    bool choice(std::size_t at, const std::string& first, const std::string& second) const;
    // The FIELD=VALUE words from argument `at` up to the first word without "=" (the
    // next operation's name has none); "no FIELD=VALUE given" when there is none.
    std::vector<std::pair<std::string, std::string>> fields(std::size_t at) const;
    // A text typed on the command line (UTF-8) as a cell's Windows-1252 bytes; "FIELD:
    // 'VALUE' holds a character Windows-1252 cannot hold" when it cannot be one.
    std::string cellText(const std::string& field, const std::string& value) const;

private:
    const std::vector<std::string>& words_;
    std::size_t pos_;
    std::string operation_;
};

// Answers the editor's first question with `first` and every later one with `later`; a
// message with only an OK button and the error icon is the editor refusing, and the
// first one is kept; any other such message is a note for standard error.
class CommandLinePrompts final : public UserPrompts {
public:
    explicit CommandLinePrompts(Answer first = Answer::Yes, Answer later = Answer::Yes)
        : first_(first), later_(later) {}
    Answer ask(const std::string& text, const std::string& title, Icon icon, Buttons buttons) override;
    // Ends the command with exit 4 and the refusal's text when the editor refused.
    void failOnRefusal() const;
    // The notes told so far, each on its own line.
    const std::string& notes() const { return notes_; }

private:
    Answer first_;
    Answer later_;
    bool asked_ = false;
    std::string refusal_;
    std::string notes_;
};

// One operation: its name, the words that follow the name in every use of it, and its
// handler. The handler reads its arguments through args and returns how many words it
// took beyond those (options, FIELD=VALUE words); most take none.
struct EditOperationSpec {
    const char* name;
    std::size_t arity;
    std::size_t (*handler)(const EditArgs& args, EditContext& context);

    // Runs the operation on words[pos] (its name) onward; returns the words it used,
    // its name included.
    std::size_t operator()(const std::vector<std::string>& words, std::size_t pos, EditContext& context) const;
};

// Registers each operation of the table under its name.
bool RegisterEditOperations(std::initializer_list<EditOperationSpec> table);

}  // namespace rivo::tool
