// The operations of `rivo800-tool edit` on many channels at once: rename with find
// and replace, and adding channels to or taking them out of a favourites list.
#include "tool/edit_ops_filter.h"

#include <cstddef>

#include "channels/cp1252.h"
#include "channels/list_page.h"
#include "editing/rename.h"
#include "editing/row_selection.h"
#include "text/translate.h"
#include "tool/edit_args.h"

namespace rivo::tool {
namespace {

int ChannelRow(const EditArgs& args, std::size_t at, const char* what, const ListPage& page) {
    const int rows = page.channelCount();
    return args.number(at, what, 1, rows, Fmt(Tr("a channel row (1..%1)"), rows));
}

// rename-replace FIRST LAST FIND REPLACE [regex] [case]: the "Rinomina..." dialog's Ok on
// rows FIRST..LAST. Names the preview marks are left as they are and listed on standard
// error; a find text that cannot be used is a usage error.
std::size_t RunRenameReplace(const EditArgs& args, EditContext& context) {
    const int first = ChannelRow(args, 1, "FIRST", context.page);
    const int last = ChannelRow(args, 2, "LAST", context.page);
    args.checkOrder(first, last);
    RenameOptions options;
    options.find = args.word(3, "FIND");
    options.replace = args.word(4, "REPLACE");
    std::size_t extra = 0;
    for (std::size_t at = 5; at <= 6; ++at) {
        if (args.given(at, "regex") && !options.regex) {
            options.regex = true;
            ++extra;
        } else if (args.given(at, "case") && !options.matchCase) {
            options.matchCase = true;
            ++extra;
        } else {
            break;
        }
    }
    const RenamePreview preview = PreviewRename(context.page, RowsOf(first, last), options);
    if (!preview.error.empty()) args.usage(preview.error);
    for (const RenameEntry& entry : preview.entries)
        if (entry.problem != RenameProblem::None)
            context.io.err << Fmt(Tr("rename-replace: canale %1 \"%2\" non rinominato in \"%3\": %4"), entry.row,
                             Cp1252ToUtf8(entry.oldName), entry.newName, RenameProblemText(entry.problem))
                      << '\n';
    ApplyRename(context.page, preview);
    return extra;
}

template <bool Add>
std::size_t RunListChange(const EditArgs& args, EditContext& context) {
    const int list = args.number(1, "K", 1, fav::Lists, Fmt(Tr("a list (1..%1)"), fav::Lists));
    const int first = ChannelRow(args, 2, "FIRST", context.page);
    const int last = ChannelRow(args, 3, "LAST", context.page);
    args.checkOrder(first, last);
    CommandLinePrompts prompts;
    if constexpr (Add)
        AddToFavouriteList(context.page, list - 1, RowsOf(first, last), prompts);
    else
        RemoveFromFavouriteList(context.page, list - 1, RowsOf(first, last), prompts);
    context.io.err << prompts.notes();
    prompts.failOnRefusal();
    return 0;
}

constexpr EditOperationSpec kRenameReplace{"rename-replace", 4, RunRenameReplace};
constexpr EditOperationSpec kAddToList{"add-to-list", 3, RunListChange<true>};
constexpr EditOperationSpec kRemoveFromList{"remove-from-list", 3, RunListChange<false>};

}  // namespace

const bool kFilterEditOperationsRegistered = RegisterEditOperations({kRenameReplace, kAddToList, kRemoveFromList});

}  // namespace rivo::tool
