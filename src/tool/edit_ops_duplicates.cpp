// The operations of `rivo800-tool edit` that remove copies: dedupe LEVEL (every copy but
// the one the keep rule chooses, favourites re-pointed) and clean-repeated-favourites.
#include "tool/edit_ops_duplicates.h"

#include <ostream>

#include "editing/duplicates.h"
#include "text/translate.h"
#include "tool/edit_args.h"

namespace rivo::tool {
namespace {

std::size_t RunDedupe(const EditArgs& args, EditContext& context) {
    const std::string& word = args.word(1, "LEVEL");
    const auto level = DuplicateLevelFromWord(word);
    if (!level) args.usage(Fmt(Tr("LEVEL '%1' non è exact, ids, name-transponder o name"), word));
    const DuplicateFinding finding = FindDuplicates(context.page, *level);
    int removed = 0;
    RemoveDuplicates(context.page, finding.groups, &removed);
    context.io.err << args.operation() << ": " << DuplicatesRemovedText(removed) << "\n";
    return 0;
}

std::size_t RunCleanRepeated(const EditArgs& args, EditContext& context) {
    int removed = 0;
    RemoveRepeatedFavourites(context.page, &removed);
    context.io.err << args.operation() << ": " << RepeatedEntriesRemovedText(removed) << "\n";
    return 0;
}

constexpr EditOperationSpec kDedupe{"dedupe", 1, RunDedupe};
constexpr EditOperationSpec kCleanRepeated{"clean-repeated-favourites", 0, RunCleanRepeated};

}  // namespace

const bool kDuplicateOperationsRegistered = RegisterEditOperations({kDedupe, kCleanRepeated});

}  // namespace rivo::tool
