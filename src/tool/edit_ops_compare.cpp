// The operations of `rivo800-tool edit` that act on the comparison with an older list,
// each on a whole class: the editor's "Riprendi i rimossi", "Riprendi i nomi" and
// "Riprendi i preferiti" with every channel of the class chosen.
#include "tool/edit_ops_compare.h"

#include <memory>
#include <ostream>

#include "channels/list_page.h"
#include "channels/open_params.h"
#include "editing/compare.h"
#include "text/translate.h"
#include "tool/edit_args.h"
#include "tool/edit_ops_transponders.h"
#include "tool/open_options.h"

namespace rivo::tool {
namespace {

enum class Take { Removed, Names, Favourites };

template <Take what>
std::size_t RunTake(const EditArgs& args, EditContext& context) {
    OpenParams params = context.params;
    params.fileName = args.word(1, "OLD");
    const std::size_t extra = TakeSourceOptions(args, 2, params);
    const std::unique_ptr<ListPage> oldPage = OpenListPage(params, context.io.err);
    const ListComparison comparison = CompareLists(*oldPage, context.page);
    std::size_t taken = 0;
    switch (what) {
        case Take::Removed: {
            const auto chosen = comparison.ofClass(ChangeClass::Removed);
            CommandLinePrompts prompts;
            NullProgress progress;
            if (TakeRemoved(context.page, *oldPage, chosen, prompts, progress).changed)
                taken = chosen.size();
            prompts.failOnRefusal();
            context.io.err << prompts.notes();
            break;
        }
        case Take::Names: {
            const auto chosen = comparison.ofClass(ChangeClass::Renamed);
            if (TakeNames(context.page, *oldPage, chosen).changed) taken = chosen.size();
            break;
        }
        case Take::Favourites: {
            const auto chosen = comparison.ofClass(ChangeClass::FavouritesChanged);
            if (TakeFavourites(context.page, chosen).changed) taken = chosen.size();
            break;
        }
    }
    context.io.err << Fmt(TrN("%1: %2 canale ripreso", "%1: %2 canali ripresi",
                              static_cast<long long>(taken)),
                          args.operation(), taken)
                   << "\n";
    return extra;
}

constexpr EditOperationSpec kTakeRemoved{"take-removed", 1, RunTake<Take::Removed>};
constexpr EditOperationSpec kTakeNames{"take-names", 1, RunTake<Take::Names>};
constexpr EditOperationSpec kTakeFavourites{"take-favourites", 1, RunTake<Take::Favourites>};

}  // namespace

const bool kCompareOperationsRegistered =
    RegisterEditOperations({kTakeRemoved, kTakeNames, kTakeFavourites});

}  // namespace rivo::tool
