// The copy/paste and transponder operations of `rivo800-tool edit`, answering the
// editor's questions as the command line says and turning the editor's refusals into
// exit status 4 with the refusal's text.
#include "tool/edit_ops_transponders.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "channels/cp1252.h"
#include "channels/list_page.h"
#include "channels/open_params.h"
#include "channels/records.h"
#include "channels/user_prompts.h"
#include "editing/clipboard.h"
#include "editing/transponder_dialog_logic.h"
#include "editing/transponders.h"
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

int rowArgument(const std::vector<std::string>& words, size_t at, const std::string& operation, const char* what,
                int rows, const char* table) {
    const std::string& text = word(words, at, operation, what);
    const std::int64_t row = CellIntegerOr(text, -1);
    if (row < 1 || row > rows)
        usage(operation, std::string(what) + " '" + text + "' is not a " + table + " row (1.." +
                             std::to_string(rows) + ")");
    return static_cast<int>(row);
}

// Answers the first question with `first` and every further one with Yes; a message
// with only an OK button is the editor refusing, and is kept to be reported.
class CommandLinePrompts final : public UserPrompts {
public:
    explicit CommandLinePrompts(Answer first) : first_(first) {}
    Answer ask(const std::string& text, const std::string&, Icon, Buttons buttons) override {
        if (buttons == Buttons::Ok) {
            if (refusal.empty()) refusal = text;
            return Answer::Ok;
        }
        const Answer answer = asked_ ? Answer::Yes : first_;
        asked_ = true;
        return answer;
    }
    std::string refusal;

private:
    Answer first_;
    bool asked_ = false;
};

void failOnRefusal(const CommandLinePrompts& prompts) {
    if (!prompts.refusal.empty()) throw ToolError(kExitFailure, prompts.refusal);
}

void copyRows(const ListPage& page, int first, int last, EditContext& context, const std::string& operation) {
    if (first > last)
        usage(operation, "FIRST " + std::to_string(first) + " is after LAST " + std::to_string(last));
    if (!context.clipboard) context.clipboard = std::make_shared<ChannelClipboard>();
    try {
        CopyChannels(page, first, last, *context.clipboard);
    } catch (const ConversionError& e) {
        throw ToolError(kExitFailure, e.what());
    }
}

std::int32_t megahertzOption(const std::string& op, const std::string& option, const std::string& value) {
    const std::int64_t number = CellIntegerOr(value, INT64_MIN);
    if (number == INT64_MIN) usage(op, option + " '" + value + "' is not a number");
    return static_cast<std::int32_t>(number);
}

std::array<std::int32_t, 16> ratesOption(const std::string& op, const std::string& value) {
    std::array<std::int32_t, 16> rates{};
    size_t count = 0;
    size_t start = 0;
    for (;;) {
        const size_t comma = value.find(',', start);
        const std::string part = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::int64_t rate = CellIntegerOr(part, INT64_MIN);
        if (rate == INT64_MIN || count == rates.size())
            usage(op, "--src-symbol-rates needs sixteen numbers separated by ','");
        rates[count++] = static_cast<std::int32_t>(rate);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (count != rates.size()) usage(op, "--src-symbol-rates needs sixteen numbers separated by ','");
    return rates;
}

std::string cellText(const std::string& operation, const std::string& field, const std::string& value) {
    const auto bytes = Utf8ToCp1252(value);
    if (!bytes) usage(operation, field + ": '" + value + "' holds a character Windows-1252 cannot hold");
    return *bytes;
}

[[maybe_unused]] const bool kRegistered =
    RegisterEditOperation("copy", CopyOperation) && RegisterEditOperation("copy-from", CopyFromOperation) &&
    RegisterEditOperation("paste", PasteOperation) &&
    RegisterEditOperation("delete-transponder", DeleteTransponderOperation) &&
    RegisterEditOperation("optimise-transponders", OptimiseTranspondersOperation) &&
    RegisterEditOperation("swap-satellites", SwapSatellitesOperation) &&
    RegisterEditOperation("set-transponder", SetTransponderOperation);

}  // namespace

std::size_t TakeSourceOptions(const std::vector<std::string>& words, std::size_t pos, const std::string& op,
                              TOpenParams& params) {
    size_t used = 0;
    // Open parameters of the other image, where they differ from this one's:
    // "--src-name VALUE" or "--src-name=VALUE".
    while (pos + used < words.size() && words[pos + used].rfind("--src-", 0) == 0) {
        std::string option = words[pos + used];
        std::string value;
        if (const auto eq = option.find('='); eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
            used += 1;
        } else {
            value = word(words, pos + used + 1, op, (option + " value").c_str());
            used += 2;
        }
        if (option == "--src-lnb-low") params.LnbLow = megahertzOption(op, option, value);
        else if (option == "--src-lnb-high") params.LnbHigh = megahertzOption(op, option, value);
        else if (option == "--src-sat-a") params.SatelliteA = cellText(op, option, value);
        else if (option == "--src-sat-b") params.SatelliteB = cellText(op, option, value);
        else if (option == "--src-symbol-rates") params.SymbolRates = ratesOption(op, value);
        else usage(op, "unknown option " + option);
    }
    if (params.SatelliteA == params.SatelliteB) usage(op, "the satellite names of IMAGE2 must differ");
    return used;
}

std::size_t CopyOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    const int rows = context.page.channelCount();
    const int first = rowArgument(words, pos + 1, "copy", "FIRST", rows, "channel");
    const int last = rowArgument(words, pos + 2, "copy", "LAST", rows, "channel");
    copyRows(context.page, first, last, context, "copy");
    return 3;
}

std::size_t CopyFromOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    const std::string op = "copy-from";
    TOpenParams params = context.params;
    params.FileName = word(words, pos + 1, op, "IMAGE2");
    word(words, pos + 2, op, "FIRST");
    word(words, pos + 3, op, "LAST");
    const size_t used = 4 + TakeSourceOptions(words, pos + 4, op, params);

    const std::unique_ptr<ListPage> source = OpenListPage(params, context.io.err);
    const int rows = source->channelCount();
    const int first = rowArgument(words, pos + 2, op, "FIRST", rows, "channel");
    const int last = rowArgument(words, pos + 3, op, "LAST", rows, "channel");
    copyRows(*source, first, last, context, op);
    return used;
}

std::size_t PasteOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    const std::string op = "paste";
    const int row = rowArgument(words, pos + 1, op, "ROW", context.page.channelCount(), "channel");
    const std::string& mode = word(words, pos + 2, op, "insert|overwrite");
    if (mode != "insert" && mode != "overwrite") usage(op, "'" + mode + "' is neither insert nor overwrite");
    if (!context.clipboard || !context.clipboard->HasContent) usage(op, "nothing has been copied before");
    CommandLinePrompts prompts(mode == "insert" ? Answer::Yes : Answer::No);
    NullProgress progress;
    PasteChannels(context.page, row, *context.clipboard, prompts, progress);
    failOnRefusal(prompts);
    return 3;
}

std::size_t DeleteTransponderOperation(const std::vector<std::string>& words, std::size_t pos,
                                       EditContext& context) {
    const std::string op = "delete-transponder";
    const int row = rowArgument(words, pos + 1, op, "ROW", context.page.transponderCount(), "transponder");
    const std::string& mode = word(words, pos + 2, op, "close|keep");
    if (mode != "close" && mode != "keep") usage(op, "'" + mode + "' is neither close nor keep");
    CommandLinePrompts prompts(mode == "close" ? Answer::Yes : Answer::No);
    NullProgress progress;
    DeleteTransponder(context.page, row, prompts, progress);
    return 3;
}

std::size_t OptimiseTranspondersOperation(const std::vector<std::string>&, std::size_t, EditContext& context) {
    NullProgress progress;
    OptimiseTransponderList(context.page, progress);
    return 1;
}

std::size_t SwapSatellitesOperation(const std::vector<std::string>&, std::size_t, EditContext& context) {
    CommandLinePrompts prompts(Answer::Yes);
    SwapSatellites(context.page, prompts);
    return 1;
}

std::size_t SetTransponderOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    const std::string op = "set-transponder";
    ListPage& page = context.page;
    const int row = rowArgument(words, pos + 1, op, "ROW", page.transponderCount(), "transponder");
    size_t used = 2;
    std::vector<std::pair<std::string, std::string>> fields;
    for (size_t at = pos + 2; at < words.size(); ++at) {
        const auto eq = words[at].find('=');
        if (eq == std::string::npos) break;
        fields.emplace_back(words[at].substr(0, eq), words[at].substr(eq + 1));
        ++used;
    }
    if (fields.empty()) usage(op, "no FIELD=VALUE given");

    TransponderDialogValues values;
    try {
        values = FillTransponderDialog(page, row);
    } catch (const ConversionError& e) {
        throw ToolError(kExitFailure, e.what());
    }
    static const std::map<std::string, std::string TransponderDialogValues::*> boxes{
        {"frequency", &TransponderDialogValues::Frequency},
        {"tid", &TransponderDialogValues::Tid},
        {"nid", &TransponderDialogValues::Nid},
        {"channels", &TransponderDialogValues::Channels}};
    for (const auto& [field, value] : fields) {
        if (auto box = boxes.find(field); box != boxes.end()) {
            values.*(box->second) = cellText(op, field, value);
        } else if (field == "sr") {
            const std::int64_t rate = CellIntegerOr(value, INT64_MIN);
            int index = -1;
            for (int i = 0; i < 16 && index < 0; ++i)
                if (page.SymbolRates[static_cast<size_t>(i)] == rate) index = i;
            if (index < 0) usage(op, "sr '" + value + "' is not one of the page's sixteen symbol rates");
            values.SymbolRate = index;
        } else if (field == "satellite") {
            if (value != "a" && value != "b" && value != "A" && value != "B")
                usage(op, "satellite must be a or b, not '" + value + "'");
            values.Satellite = (value == "a" || value == "A") ? 0 : 1;
        } else if (field == "fec") {
            int index = -1;
            for (int i = 0; i < 5 && index < 0; ++i)
                if (value == FecChoices()[static_cast<size_t>(i)]) index = i;
            if (index < 0) usage(op, "fec must be one of 1/2, 2/3, 3/4, 5/6, 7/8, not '" + value + "'");
            values.Fec = index;
        } else if (field == "polarisation") {
            if (value != "H" && value != "V") usage(op, "polarisation must be H or V, not '" + value + "'");
            values.Horizontal = value == "H";
        } else if (field == "tone") {
            if (value != "On" && value != "Off") usage(op, "tone must be On or Off, not '" + value + "'");
            values.ToneOn = value == "On";
        } else {
            usage(op, "unknown field '" + field + "'");
        }
    }
    ApplyTransponderDialog(page, row, values);
    return used;
}

}  // namespace rivo::tool
