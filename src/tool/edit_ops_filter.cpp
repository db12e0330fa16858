// The operations of `rivo800-tool edit` on many channels at once: rename with find
// and replace, and adding channels to or taking them out of a favourites list.
#include "tool/edit_ops_filter.h"

#include <cstddef>
#include <string>
#include <vector>

#include "channels/cp1252.h"
#include "channels/list_page.h"
#include "editing/channel_filter.h"
#include "editing/rename.h"
#include "editing/row_selection.h"
#include "text/translate.h"
#include "tool/edit_args.h"

namespace rivo::tool {
namespace {

int ChannelRow(const EditArgs& args, std::size_t at, const char* what, const ListPage& page) {
    const int rows = page.channelCount();
    return args.number(at, what, 1, rows, Fmt(Tr("una riga dei canali (1..%1)"), rows));
}

// The optional word "where=EXPR" at argument `at`: rows FIRST..LAST that the filter
// lets through (as `dump --where` lists them), so that an operation acts on the rows
// the editor's filter bar shows. Without it, all of FIRST..LAST. Counts the word taken.
std::vector<int> RowsWhere(const EditArgs& args, std::size_t at, const ListPage& page, int first,
                           int last, std::size_t& extra) {
    const std::string prefix = "where=";
    if (!args.has(at) || args[at].rfind(prefix, 0) != 0) return RowsOf(first, last);
    ++extra;
    std::string error;
    const auto filter = ParseFilterExpression(args[at].substr(prefix.size()), error);
    if (!filter) args.usage(error);
    const ChannelMatcher matcher(page, *filter);
    std::vector<int> rows;
    for (int r = first; r <= last; ++r)
        if (matcher.matches(r)) rows.push_back(r);
    return rows;
}

// rename-replace FIRST LAST FIND REPLACE [regex] [case] [where=EXPR]: the "Rinomina..." dialog's Ok
// on rows FIRST..LAST. Names the preview marks are left as they are and listed on standard error; a
// find text that cannot be used is a usage error.
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
    const std::vector<int> rows = RowsWhere(args, 5 + extra, context.page, first, last, extra);
    const RenamePreview preview = PreviewRename(context.page, rows, options);
    if (!preview.error.empty()) args.usage(preview.error);
    for (const RenameEntry& entry : preview.entries)
        if (entry.problem != RenameProblem::None)
            context.io.err
                << Fmt(Tr("rename-replace: canale %1 \"%2\" non rinominato in \"%3\": %4"),
                       entry.row, Cp1252ToUtf8(entry.oldName), entry.newName,
                       RenameProblemText(entry.problem))
                << '\n';
    ApplyRename(context.page, preview);
    return extra;
}

template <bool Add>
std::size_t RunListChange(const EditArgs& args, EditContext& context) {
    const int list = args.number(1, "K", 1, fav::Lists, Fmt(Tr("una lista (1..%1)"), fav::Lists));
    const int first = ChannelRow(args, 2, "FIRST", context.page);
    const int last = ChannelRow(args, 3, "LAST", context.page);
    args.checkOrder(first, last);
    std::size_t extra = 0;
    const std::vector<int> rows = RowsWhere(args, 4, context.page, first, last, extra);
    CommandLinePrompts prompts;
    if constexpr (Add)
        AddToFavouriteList(context.page, list - 1, rows, prompts);
    else
        RemoveFromFavouriteList(context.page, list - 1, rows, prompts);
    context.io.err << prompts.notes();
    prompts.failOnRefusal();
    return extra;
}

constexpr EditOperationSpec kRenameReplace{"rename-replace", 4, RunRenameReplace};
constexpr EditOperationSpec kAddToList{"add-to-list", 3, RunListChange<true>};
constexpr EditOperationSpec kRemoveFromList{"remove-from-list", 3, RunListChange<false>};

}  // namespace

const bool kFilterEditOperationsRegistered =
    RegisterEditOperations({kRenameReplace, kAddToList, kRemoveFromList});

}  // namespace rivo::tool
