// `rivo800-tool edit ... set-channel FIRST LAST FIELD=VALUE...`: the channel properties
// dialog opened from the context menu on rows FIRST..LAST, with the named fields set and
// Ok pressed. A field not named is left as the dialog leaves an untouched control, so
// every row keeps its own value.
#include <map>
#include <string>
#include <vector>

#include "channels/cp1252.h"
#include "channels/list_page.h"
#include "channels/records.h"
#include "editing/channel_dialog_logic.h"
#include "tool/edit_ops_channel_dialog.h"

namespace rivo::tool {
namespace {

constexpr size_t kNameLength = 16;  // the dialog's name box takes 16 characters

[[noreturn]] void usage(const std::string& message) { throw ToolError(kExitUsage, "set-channel: " + message); }

int rowArgument(const std::vector<std::string>& words, size_t at, const char* what, int rows) {
    if (at >= words.size()) usage(std::string("missing ") + what);
    const std::int64_t row = CellIntegerOr(words[at], -1);
    if (row < 1 || row > rows)
        usage(std::string(what) + " '" + words[at] + "' is not a channel row (1.." + std::to_string(rows) + ")");
    return static_cast<int>(row);
}

// A box text given on the command line (UTF-8) as the cell's Windows-1252 bytes.
std::string boxText(const std::string& field, const std::string& value) {
    const auto bytes = Utf8ToCp1252(value);
    if (!bytes) usage(field + ": '" + value + "' holds a character Windows-1252 cannot hold");
    return *bytes;
}

CheckState flag(const std::string& field, const std::string& value) {
    if (value == "0") return CheckState::Unchecked;
    if (value == "1") return CheckState::Checked;
    usage(field + " must be 0 or 1, not '" + value + "'");
}

[[maybe_unused]] const bool kRegistered = RegisterEditOperation("set-channel", SetChannelOperation);

}  // namespace

std::size_t SetChannelOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context) {
    ListPage& page = context.page;
    const int first = rowArgument(words, pos + 1, "FIRST", page.channelCount());
    const int last = rowArgument(words, pos + 2, "LAST", page.channelCount());
    if (first > last) usage("FIRST " + std::to_string(first) + " is after LAST " + std::to_string(last));

    static const std::map<std::string, int> boxes{
        {"name", box::Name}, {"transponder", box::Transponder}, {"sid", box::Sid},   {"vpid", box::VPid},
        {"apid", box::APid}, {"vecm", box::VEcm},               {"aecm", box::AEcm}, {"pcr", box::Pcr}};

    // The fields are the words with "=" that follow; the next operation's name has none.
    size_t used = 3;
    std::vector<std::pair<std::string, std::string>> fields;
    for (size_t at = pos + 3; at < words.size(); ++at) {
        const auto eq = words[at].find('=');
        if (eq == std::string::npos) break;
        fields.emplace_back(words[at].substr(0, eq), words[at].substr(eq + 1));
        ++used;
    }
    if (fields.empty()) usage("no FIELD=VALUE given");

    ChannelDialogValues values;
    try {
        values = FillFromSelection(page, first, last);
    } catch (const ConversionError& e) {
        throw ToolError(kExitFailure, e.what());
    }
    // Unlike the dialog's list, an encoding not named keeps each row's own.
    values.keepEachEncoding = true;

    for (const auto& [field, value] : fields) {
        if (auto b = boxes.find(field); b != boxes.end()) {
            std::string text = boxText(field, value);
            if (b->second == box::Name && text.size() > kNameLength) text.resize(kNameLength);
            values.boxes[static_cast<size_t>(b->second)] = std::move(text);
        } else if (field == "encoding") {
            const std::int64_t encoding = CellIntegerOr(value, -1);
            if (encoding < 0 || encoding >= kEncodingCount) usage("encoding must be 0 to 5, not '" + value + "'");
            values.encoding = static_cast<int>(encoding);
            values.keepEachEncoding = false;
        } else if (field == "active") {
            values.active = flag(field, value);
        } else if (field == "favourite") {
            values.favourite = flag(field, value);
        } else if (field == "locked") {
            values.locked = flag(field, value);
        } else if (field.size() == 5 && field.compare(0, 4, "list") == 0 && field[4] >= '1' && field[4] <= '8') {
            values.lists[static_cast<size_t>(field[4] - '1')] = flag(field, value);
        } else {
            usage("unknown field '" + field + "'");
        }
    }

    try {
        ApplySelectionOk(page, first, last, values);
    } catch (const ConversionError& e) {
        throw ToolError(kExitFailure, e.what());
    }
    return used;
}

}  // namespace rivo::tool
