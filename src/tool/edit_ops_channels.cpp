// The channel operations of `rivo800-tool edit`, answering the editor's questions as the
// command line says and turning the editor's refusals into exit status 4 with the
// refusal's text.
#include "tool/edit_ops_channels.h"

#include <climits>
#include <cstdint>

#include "channels/list_page.h"
#include "channels/user_prompts.h"
#include "editing/channel_edit.h"
#include "editing/channel_rows.h"
#include "text/translate.h"
#include "tool/edit_args.h"

namespace rivo::tool {
namespace {

// Rows of these operations are read as the channel number dialog reads numbers.
int ChannelRow(const EditArgs& args, std::size_t at, const char* what, const ListPage& page) {
    const int rows = page.channelCount();
    return args.number(at, what, 1, rows, Fmt(Tr("una riga dei canali (1..%1)"), rows));
}

std::size_t RunDeleteChannels(const EditArgs& args, EditContext& context) {
    const int first = ChannelRow(args, 1, "FIRST", context.page);
    const int last = ChannelRow(args, 2, "LAST", context.page);
    args.checkOrder(first, last);
    const Answer answer = args.choice(3, "close", "keep") ? Answer::Yes : Answer::No;
    CommandLinePrompts prompts(answer, answer);
    NullProgress progress;
    DeleteSelectedChannels(context.page, first, last, prompts, progress);
    return 0;
}

std::size_t RunInsertChannel(const EditArgs& args, EditContext& context) {
    const int row = ChannelRow(args, 1, "ROW", context.page);
    CommandLinePrompts prompts;
    InsertEmptyChannel(context.page, row, prompts);
    return 0;
}

std::size_t RunMoveChannels(const EditArgs& args, EditContext& context) {
    const int first = ChannelRow(args, 1, "FIRST", context.page);
    const int last = ChannelRow(args, 2, "LAST", context.page);
    args.checkOrder(first, last);
    // The target goes through the channel number dialog's check, as typed there: a
    // number that does not let the block fit is refused with the dialog's message.
    const std::string& target = args.word(3, "TO");
    if (ReadCellNumber(target, INT64_MIN) == INT64_MIN)
        args.usage(Fmt(Tr("%1 '%2' non è un numero"), "TO", target));
    CommandLinePrompts prompts;
    if (!CheckChannelNumber(target, MoveLimit(context.page, first, last), prompts))
        prompts.failOnRefusal();
    NullProgress progress;
    MoveChannels(context.page, first, last, ChannelNumberValue(target), progress);
    return 0;
}

template <bool Down>
std::size_t FavouriteMove(const EditArgs& args, EditContext& context) {
    const int list =
        args.number(1, "LIST", 1, fav::Lists, Fmt(Tr("una lista (1..%1)"), fav::Lists));
    const int slot =
        args.number(2, "SLOT", 1, fav::Slots, Fmt(Tr("una posizione (1..%1)"), fav::Slots));
    CommandLinePrompts prompts;
    if constexpr (Down)
        MoveFavouriteDown(context.page, list - 1, slot, prompts);
    else
        MoveFavouriteUp(context.page, list - 1, slot, prompts);
    prompts.failOnRefusal();
    return 0;
}

constexpr EditOperationSpec kDelete{"delete", 3, RunDeleteChannels};
constexpr EditOperationSpec kInsert{"insert", 1, RunInsertChannel};
constexpr EditOperationSpec kMove{"move", 3, RunMoveChannels};
constexpr EditOperationSpec kFavouriteUp{"fav-up", 2, FavouriteMove<false>};
constexpr EditOperationSpec kFavouriteDown{"fav-down", 2, FavouriteMove<true>};

}  // namespace

const bool kChannelEditOperationsRegistered =
    RegisterEditOperations({kDelete, kInsert, kMove, kFavouriteUp, kFavouriteDown});

}  // namespace rivo::tool
