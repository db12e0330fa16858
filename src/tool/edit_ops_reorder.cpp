// The operations of `rivo800-tool edit` that reorder the channel list: sort and
// apply-reference.
#include "tool/edit_ops_reorder.h"

#include <memory>
#include <ostream>

#include "channels/list_page.h"
#include "channels/open_params.h"
#include "editing/reorder.h"
#include "text/translate.h"
#include "tool/edit_args.h"
#include "tool/edit_ops_transponders.h"
#include "tool/open_options.h"

namespace rivo::tool {
namespace {

std::size_t RunSortChannels(const EditArgs& args, EditContext& context) {
    const int rows = context.page.channelCount();
    const int first = args.row(1, "FIRST", rows);
    const int last = args.row(2, "LAST", rows);
    args.checkOrder(first, last);
    const std::string& keyWord = args.word(3, "KEY");
    const auto key = SortKeyFromWord(keyWord);
    if (!key) args.usage(Fmt(Tr("KEY '%1' non è name, sid o frequency"), keyWord));
    SortChannels(context.page, first, last, *key);
    return 0;
}

std::size_t RunApplyReference(const EditArgs& args, EditContext& context) {
    OpenParams params = context.params;
    params.fileName = args.word(1, "IMAGE2");
    ReferenceOptions options;
    options.takeFavourites = !args.choice(2, "keep", "take");
    std::size_t extra = 0;
    if (args.given(3, "names")) {
        options.takeNames = true;
        ++extra;
    }
    extra += TakeSourceOptions(args, 3 + extra, params);

    const std::unique_ptr<ListPage> reference = OpenListPage(params, context.io.err);
    if (options.takeFavourites && !CanTakeFavourites(context.page, *reference))
        throw ToolError(kExitFailure, kTakeFavouritesRefused);
    const ReferenceMatch match = MatchReference(context.page, *reference);
    ApplyReference(context.page, *reference, match, options);
    // One sentence for the translators, so the four passes are written out.
    static_assert(kMatchPasses == 4, "the report names each pass");
    context.io.err << Fmt(Tr("%1: abbinati %2 (passo 1: %3, passo 2: %4, passo 3: %5, passo 4: "
                             "%6), non abbinati %7 "
                             "(riferimento %8)"),
                          args.operation(), match.matched(), match.passCounts[0],
                          match.passCounts[1], match.passCounts[2], match.passCounts[3],
                          match.unmatchedCurrent.size(), match.unmatchedReference.size())
                   << "\n";
    return extra;
}

constexpr EditOperationSpec kSort{"sort", 3, RunSortChannels};
constexpr EditOperationSpec kApplyReference{"apply-reference", 2, RunApplyReference};

}  // namespace

const bool kReorderOperationsRegistered = RegisterEditOperations({kSort, kApplyReference});

}  // namespace rivo::tool
