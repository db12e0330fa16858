// The `rivo800-tool edit` operation that puts the list into the order of a file:
// apply-order FILE [names] [favourites] [unmatched=keep|delete].
#include "tool/edit_ops_order_file.h"

#include <ostream>

#include "channels/csv_import.h"
#include "editing/file_order.h"
#include "image/kvx_image.h"
#include "text/translate.h"
#include "tool/edit_args.h"

namespace rivo::tool {
namespace {

std::size_t RunApplyOrder(const EditArgs& args, EditContext& context) {
    const std::string& path = args.word(1, "FILE");
    FileOrderOptions options;
    // The options follow in any order, each at most once.
    std::size_t extra = 0;
    bool names = false, favourites = false, unmatched = false;
    for (std::size_t at = 2; args.has(at); ++at, ++extra) {
        const std::string& word = args[at];
        if (word == "names" && !names) {
            names = options.takeNames = true;
        } else if (word == "favourites" && !favourites) {
            favourites = options.takeFavourites = true;
        } else if (word.rfind("unmatched=", 0) == 0 && !unmatched) {
            const std::string value = word.substr(10);
            if (value != "keep" && value != "delete")
                args.usage(Fmt(Tr("'%1' non è né unmatched=keep né unmatched=delete"), word));
            unmatched = true;
            options.deleteUnmatched = value == "delete";
        } else {
            break;
        }
    }

    std::string error;
    const auto bytes = ReadWholeFile(path, error);
    if (!bytes) throw ToolError(kExitFailure, error);
    const ReferenceFileResult read = ReadReferenceFile(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!read.file) throw ToolError(kExitFailure, Fmt(Tr("%1: %2"), path, read.error));
    const ReferenceFile& file = *read.file;
    if (options.takeFavourites) {
        const std::string refusal = FileFavouritesRefusal(context.page, file);
        if (!refusal.empty()) throw ToolError(kExitFailure, refusal);
    }
    const FileOrderMatch match = MatchFileOrder(context.page, file);
    if (options.deleteUnmatched && !DeleteUnmatchedAllowed(match))
        throw ToolError(kExitFailure, Tr(kNothingMatchedToKeep));
    if (options.takeNames)
        for (const SkippedName& skipped : NamesNotTaken(file, match))
            context.io.err << Fmt(Tr("%1: riga %2: il nome '%3' non viene preso: %4"),
                                  args.operation(), skipped.line, skipped.name, skipped.reason)
                           << "\n";
    NullProgress progress;
    ApplyFileOrder(context.page, file, match, options, progress);
    static_assert(kFileMatchPasses == 5, "the report names each pass");
    context.io.err << Fmt(Tr("%1: abbinati %2 (passo 1: %3, passo 2: %4, passo 3: %5, passo 4: %6, "
                             "passo 5: %7), "
                             "non abbinati %8 (file %9)"),
                          args.operation(), match.matched(), match.passCount(0), match.passCount(1),
                          match.passCount(2), match.passCount(3), match.passCount(4),
                          match.match.unmatchedCurrent.size(),
                          match.match.unmatchedReference.size())
                   << "\n";
    return extra;
}

constexpr EditOperationSpec kApplyOrder{"apply-order", 1, RunApplyOrder};

}  // namespace

const bool kOrderFileOperationsRegistered = RegisterEditOperations({kApplyOrder});

}  // namespace rivo::tool
