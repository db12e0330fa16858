// The copy/paste and transponder operations of `rivo800-tool edit`, answering the
// editor's questions as the command line says and turning the editor's refusals into
// exit status 4 with the refusal's text.
#include "tool/edit_ops_transponders.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "channels/list_page.h"
#include "channels/open_params.h"
#include "channels/records.h"
#include "channels/user_prompts.h"
#include "editing/clipboard.h"
#include "editing/transponder_dialog_logic.h"
#include "editing/transponders.h"
#include "text/translate.h"
#include "tool/open_options.h"

namespace rivo::tool {
namespace {

void CopyRows(const ListPage& page, int first, int last, EditContext& context,
              const EditArgs& args) {
    args.checkOrder(first, last);
    if (!context.clipboard) context.clipboard = std::make_shared<ChannelClipboard>();
    try {
        CopyChannels(page, first, last, *context.clipboard);
    } catch (const ConversionError& e) {
        throw ToolError(kExitFailure, e.what());
    }
}

std::int32_t MegahertzOption(const EditArgs& args, const std::string& option,
                             const std::string& value) {
    const std::int64_t number = CellIntegerOr(value, INT64_MIN);
    if (number == INT64_MIN) args.usage(Fmt(Tr("%1 '%2' non è un numero"), option, value));
    return static_cast<std::int32_t>(number);
}

std::array<std::int32_t, 16> RatesOption(const EditArgs& args, const std::string& value) {
    std::array<std::int32_t, 16> rates{};
    size_t count = 0;
    size_t start = 0;
    for (;;) {
        const size_t comma = value.find(',', start);
        const std::string part =
            value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::int64_t rate = CellIntegerOr(part, INT64_MIN);
        if (rate == INT64_MIN || count == rates.size())
            args.usage(Tr("--src-symbol-rates richiede sedici numeri separati da ','"));
        rates[count++] = static_cast<std::int32_t>(rate);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (count != rates.size())
        args.usage(Tr("--src-symbol-rates richiede sedici numeri separati da ','"));
    return rates;
}

std::size_t RunCopyChannels(const EditArgs& args, EditContext& context) {
    const int rows = context.page.channelCount();
    const int first = args.row(1, "FIRST", rows);
    const int last = args.row(2, "LAST", rows);
    CopyRows(context.page, first, last, context, args);
    return 0;
}

std::size_t CopyFrom(const EditArgs& args, EditContext& context) {
    OpenParams params = context.params;
    params.fileName = args.word(1, "IMAGE2");
    args.word(2, "FIRST");
    args.word(3, "LAST");
    const std::size_t extra = TakeSourceOptions(args, 4, params);

    const std::unique_ptr<ListPage> source = OpenListPage(params, context.io.err);
    const int rows = source->channelCount();
    const int first = args.row(2, "FIRST", rows);
    const int last = args.row(3, "LAST", rows);
    CopyRows(*source, first, last, context, args);
    return extra;
}

std::size_t RunPaste(const EditArgs& args, EditContext& context) {
    const int row = args.row(1, "ROW", context.page.channelCount());
    const bool insert = args.choice(2, "insert", "overwrite");
    if (!context.clipboard || !context.clipboard->hasContent)
        args.usage(Tr("non è stato copiato nulla prima"));
    CommandLinePrompts prompts(insert ? Answer::Yes : Answer::No);
    NullProgress progress;
    PasteChannels(context.page, row, *context.clipboard, prompts, progress);
    prompts.failOnRefusal();
    context.io.err << prompts.notes();
    return 0;
}

std::size_t RunDeleteTransponder(const EditArgs& args, EditContext& context) {
    const int row = args.row(1, "ROW", context.page.transponderCount(), "transponder");
    CommandLinePrompts prompts(args.choice(2, "close", "keep") ? Answer::Yes : Answer::No);
    NullProgress progress;
    DeleteTransponder(context.page, row, prompts, progress);
    return 0;
}

std::size_t RunOptimiseTransponders(const EditArgs&, EditContext& context) {
    NullProgress progress;
    OptimiseTransponderList(context.page, progress);
    return 0;
}

std::size_t RunSwapSatellites(const EditArgs&, EditContext& context) {
    CommandLinePrompts prompts;
    SwapSatellites(context.page, prompts);
    return 0;
}

std::size_t RunSetTransponder(const EditArgs& args, EditContext& context) {
    ListPage& page = context.page;
    const int row = args.row(1, "ROW", page.transponderCount(), "transponder");
    const auto fields = args.fields(2);

    TransponderDialogValues values;
    try {
        values = FillTransponderDialog(page, row);
    } catch (const ConversionError& e) {
        throw ToolError(kExitFailure, e.what());
    }
    static const std::map<std::string, std::string TransponderDialogValues::*> boxes{
        {"frequency", &TransponderDialogValues::frequency},
        {"tid", &TransponderDialogValues::tid},
        {"nid", &TransponderDialogValues::nid},
        {"channels", &TransponderDialogValues::channels}};
    for (const auto& [field, value] : fields) {
        if (auto box = boxes.find(field); box != boxes.end()) {
            values.*(box->second) = args.cellText(field, value);
        } else if (field == "sr") {
            const std::int64_t rate = CellIntegerOr(value, INT64_MIN);
            int index = -1;
            for (int i = 0; i < 16 && index < 0; ++i)
                if (page.symbolRates[static_cast<size_t>(i)] == rate) index = i;
            if (index < 0)
                args.usage(Fmt(Tr("sr '%1' non è uno dei sedici symbol rate della pagina"), value));
            values.symbolRate = index;
        } else if (field == "satellite") {
            if (value != "a" && value != "b" && value != "A" && value != "B")
                args.usage(Fmt(Tr("satellite deve essere a o b, non '%1'"), value));
            values.satellite = (value == "a" || value == "A") ? 0 : 1;
        } else if (field == "fec") {
            int index = -1;
            for (int i = 0; i < 5 && index < 0; ++i)
                if (value == FecChoices()[static_cast<size_t>(i)]) index = i;
            if (index < 0)
                args.usage(Fmt(Tr("fec deve essere 1/2, 2/3, 3/4, 5/6 o 7/8, non '%1'"), value));
            values.fec = index;
        } else if (field == "polarisation") {
            if (value != "H" && value != "V")
                args.usage(Fmt(Tr("polarisation deve essere H o V, non '%1'"), value));
            values.horizontal = value == "H";
        } else if (field == "tone") {
            if (value != "On" && value != "Off")
                args.usage(Fmt(Tr("tone deve essere On o Off, non '%1'"), value));
            values.toneOn = value == "On";
        } else {
            args.usage(Fmt(Tr("campo '%1' sconosciuto"), field));
        }
    }
    ApplyTransponderDialog(page, row, values);
    return fields.size();
}

constexpr EditOperationSpec kCopy{"copy", 2, RunCopyChannels};
constexpr EditOperationSpec kCopyFrom{"copy-from", 3, CopyFrom};
constexpr EditOperationSpec kPaste{"paste", 2, RunPaste};
constexpr EditOperationSpec kDeleteTransponder{"delete-transponder", 2, RunDeleteTransponder};
constexpr EditOperationSpec kOptimiseTransponders{"optimise-transponders", 0,
                                                  RunOptimiseTransponders};
constexpr EditOperationSpec kSwapSatellites{"swap-satellites", 0, RunSwapSatellites};
constexpr EditOperationSpec kSetTransponder{"set-transponder", 1, RunSetTransponder};

[[maybe_unused]] const bool kRegistered =
    RegisterEditOperations({kCopy, kCopyFrom, kPaste, kDeleteTransponder, kOptimiseTransponders,
                            kSwapSatellites, kSetTransponder});

}  // namespace

std::size_t TakeSourceOptions(const EditArgs& args, std::size_t at, OpenParams& params) {
    size_t used = 0;
    // Open parameters of the other image, where they differ from this one's:
    // "--src-name VALUE" or "--src-name=VALUE".
    while (args.has(at + used) && args[at + used].rfind("--src-", 0) == 0) {
        std::string option = args[at + used];
        std::string value;
        if (const auto eq = option.find('='); eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
            used += 1;
        } else {
            if (!args.has(at + used + 1)) args.usage(Fmt(Tr("manca il valore di %1"), option));
            value = args[at + used + 1];
            used += 2;
        }
        if (option == "--src-lnb-low")
            params.lnbLow = MegahertzOption(args, option, value);
        else if (option == "--src-lnb-high")
            params.lnbHigh = MegahertzOption(args, option, value);
        else if (option == "--src-sat-a")
            params.satelliteA = args.cellText(option, value);
        else if (option == "--src-sat-b")
            params.satelliteB = args.cellText(option, value);
        else if (option == "--src-symbol-rates")
            params.symbolRates = RatesOption(args, value);
        else
            args.usage(Fmt(Tr("opzione %1 sconosciuta"), option));
    }
    if (params.satelliteA == params.satelliteB)
        args.usage(Tr("i nomi dei satelliti di IMAGE2 devono essere diversi"));
    return used;
}

std::size_t CopyOperation(const std::vector<std::string>& words, std::size_t pos,
                          EditContext& context) {
    return kCopy(words, pos, context);
}

std::size_t CopyFromOperation(const std::vector<std::string>& words, std::size_t pos,
                              EditContext& context) {
    return kCopyFrom(words, pos, context);
}

std::size_t PasteOperation(const std::vector<std::string>& words, std::size_t pos,
                           EditContext& context) {
    return kPaste(words, pos, context);
}

std::size_t DeleteTransponderOperation(const std::vector<std::string>& words, std::size_t pos,
                                       EditContext& context) {
    return kDeleteTransponder(words, pos, context);
}

std::size_t OptimiseTranspondersOperation(const std::vector<std::string>& words, std::size_t pos,
                                          EditContext& context) {
    return kOptimiseTransponders(words, pos, context);
}

std::size_t SwapSatellitesOperation(const std::vector<std::string>& words, std::size_t pos,
                                    EditContext& context) {
    return kSwapSatellites(words, pos, context);
}

std::size_t SetTransponderOperation(const std::vector<std::string>& words, std::size_t pos,
                                    EditContext& context) {
    return kSetTransponder(words, pos, context);
}

}  // namespace rivo::tool
