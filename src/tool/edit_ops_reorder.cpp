#include "tool/edit_ops_reorder.h"

#include <climits>
#include <memory>
#include <ostream>

#include "channels/list_page.h"
#include "channels/open_params.h"
#include "channels/records.h"
#include "editing/reorder.h"
#include "tool/edit_ops_transponders.h"
#include "tool/open_options.h"

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

int channelRow(const std::vector<std::string>& words, size_t at, const std::string& operation, const char* what,
               const ListPage& page) {
    const std::string& text = word(words, at, operation, what);
    const std::int64_t row = CellIntegerOr(text, -1);
    if (row < 1 || row > page.channelCount())
        usage(operation, std::string(what) + " '" + text + "' is not a channel row (1.." +
                             std::to_string(page.channelCount()) + ")");
    return static_cast<int>(row);
}

}  // namespace

std::size_t SortOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    const std::string op = "sort";
    const int first = channelRow(words, pos + 1, op, "FIRST", context.page);
    const int last = channelRow(words, pos + 2, op, "LAST", context.page);
    if (first > last) usage(op, "FIRST " + std::to_string(first) + " is after LAST " + std::to_string(last));
    const std::string& keyWord = word(words, pos + 3, op, "KEY");
    const auto key = SortKeyFromWord(keyWord);
    if (!key) usage(op, "KEY '" + keyWord + "' is not name, sid or frequency");
    SortChannels(context.page, first, last, *key);
    return 4;
}

std::size_t ApplyReferenceOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    const std::string op = "apply-reference";
    TOpenParams params = context.params;
    params.FileName = word(words, pos + 1, op, "IMAGE2");
    const std::string& mode = word(words, pos + 2, op, "keep|take");
    if (mode != "keep" && mode != "take") usage(op, "'" + mode + "' is neither keep nor take");
    ReferenceOptions options;
    options.takeFavourites = mode == "take";
    size_t used = 3;
    if (pos + used < words.size() && words[pos + used] == "names") {
        options.takeNames = true;
        ++used;
    }
    used += TakeSourceOptions(words, pos + used, op, params);

    const std::unique_ptr<ListPage> reference = OpenListPage(params, context.io.err);
    if (options.takeFavourites && !CanTakeFavourites(context.page, *reference))
        throw ToolError(kExitFailure, kTakeFavouritesRefused);
    const ReferenceMatch match = MatchReference(context.page, *reference);
    ApplyReference(context.page, *reference, match, options);
    std::ostream& err = context.io.err;
    err << op << ": matched " << match.matched();
    for (int p = 0; p < kMatchPasses; ++p)
        err << (p == 0 ? " (" : ", ") << "pass " << p + 1 << ": " << match.passCounts[static_cast<size_t>(p)];
    err << "), unmatched " << match.unmatchedCurrent.size() << " (reference " << match.unmatchedReference.size()
        << ")\n";
    return used;
}

const bool kReorderOperationsRegistered =
    RegisterEditOperation("sort", SortOperation) && RegisterEditOperation("apply-reference", ApplyReferenceOperation);

}  // namespace rivo::tool
