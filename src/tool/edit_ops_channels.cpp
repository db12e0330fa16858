// The channel operations of `rivo800-tool edit`, answering the editor's questions as the
// command line says and turning the editor's refusals into exit status 4 with the
// refusal's text.
#include "tool/edit_ops_channels.h"

#include <cstdint>

#include "channels/list_page.h"
#include "channels/user_prompts.h"
#include "editing/channel_edit.h"
#include "editing/channel_rows.h"

namespace rivo::tool {
namespace {

[[noreturn]] void usage(const std::string& operation, const std::string& message) {
    throw ToolError(kExitUsage, operation + ": " + message);
}

const std::string& word(const std::vector<std::string>& words, size_t at, const std::string& operation,
                        const char* what) {
    if (at >= words.size()) usage(operation, std::string("missing ") + what);
    return words[at];
}

// A decimal number argument within lo .. hi (a usage error otherwise).
int numberArgument(const std::vector<std::string>& words, size_t at, const std::string& operation,
                   const char* what, int lo, int hi, const std::string& range) {
    const std::string& text = word(words, at, operation, what);
    const std::int64_t value = ReadCellNumber(text, INT64_MIN);
    if (value == INT64_MIN) usage(operation, std::string(what) + " '" + text + "' is not a number");
    if (value < lo || value > hi) usage(operation, std::string(what) + " '" + text + "' is not " + range);
    return static_cast<int>(value);
}

int channelRow(const std::vector<std::string>& words, size_t at, const std::string& operation, const char* what,
               const ListPage& page) {
    const int rows = page.channelCount();
    return numberArgument(words, at, operation, what, 1, rows,
                          "a channel row (1.." + std::to_string(rows) + ")");
}

// Answers every question with the given answer; a message with only an OK button is
// the editor refusing, and is kept to be reported.
class CommandLinePrompts final : public UserPrompts {
public:
    explicit CommandLinePrompts(Answer answer = Answer::Yes) : answer_(answer) {}
    Answer ask(const std::string& text, const std::string&, Icon, Buttons buttons) override {
        if (buttons == Buttons::Ok) {
            if (refusal.empty()) refusal = text;
            return Answer::Ok;
        }
        return answer_;
    }
    void failOnRefusal() const {
        if (!refusal.empty()) throw ToolError(kExitFailure, refusal);
    }
    std::string refusal;

private:
    Answer answer_;
};

size_t favouriteMove(const std::vector<std::string>& words, size_t pos, EditContext& context, bool down) {
    const std::string operation = down ? "fav-down" : "fav-up";
    const int list = numberArgument(words, pos + 1, operation, "LIST", 1, fav::Lists, "a list (1..8)");
    const int slot = numberArgument(words, pos + 2, operation, "SLOT", 1, fav::Slots, "a slot (1..128)");
    CommandLinePrompts prompts;
    if (down)
        MoveFavouriteDown(context.page, list - 1, slot, prompts);
    else
        MoveFavouriteUp(context.page, list - 1, slot, prompts);
    prompts.failOnRefusal();
    return 3;
}

}  // namespace

std::size_t DeleteChannelsOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    const int first = channelRow(words, pos + 1, "delete", "FIRST", context.page);
    const int last = channelRow(words, pos + 2, "delete", "LAST", context.page);
    if (first > last) usage("delete", "FIRST " + std::to_string(first) + " is after LAST " + std::to_string(last));
    const std::string& mode = word(words, pos + 3, "delete", "close|keep");
    if (mode != "close" && mode != "keep") usage("delete", "'" + mode + "' is neither close nor keep");
    CommandLinePrompts prompts(mode == "close" ? Answer::Yes : Answer::No);
    NullProgress progress;
    DeleteSelectedChannels(context.page, first, last, prompts, progress);
    return 4;
}

std::size_t InsertChannelOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    const int row = channelRow(words, pos + 1, "insert", "ROW", context.page);
    CommandLinePrompts prompts(Answer::Yes);
    InsertEmptyChannel(context.page, row, prompts);
    return 2;
}

std::size_t MoveChannelsOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    const int first = channelRow(words, pos + 1, "move", "FIRST", context.page);
    const int last = channelRow(words, pos + 2, "move", "LAST", context.page);
    if (first > last) usage("move", "FIRST " + std::to_string(first) + " is after LAST " + std::to_string(last));
    // The target goes through the channel number dialog's check, as typed there: a
    // number that does not let the block fit is refused with the dialog's message.
    const std::string& target = word(words, pos + 3, "move", "TO");
    if (ReadCellNumber(target, INT64_MIN) == INT64_MIN) usage("move", "TO '" + target + "' is not a number");
    CommandLinePrompts prompts;
    if (!CheckChannelNumber(target, MoveLimit(context.page, first, last), prompts)) prompts.failOnRefusal();
    NullProgress progress;
    MoveChannels(context.page, first, last, ChannelNumberValue(target), progress);
    return 4;
}

std::size_t FavouriteUpOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    return favouriteMove(words, pos, context, false);
}

std::size_t FavouriteDownOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    return favouriteMove(words, pos, context, true);
}

const bool kChannelEditOperationsRegistered =
    RegisterEditOperation("delete", DeleteChannelsOperation) && RegisterEditOperation("insert", InsertChannelOperation) &&
    RegisterEditOperation("move", MoveChannelsOperation) && RegisterEditOperation("fav-up", FavouriteUpOperation) &&
    RegisterEditOperation("fav-down", FavouriteDownOperation);

}  // namespace rivo::tool
