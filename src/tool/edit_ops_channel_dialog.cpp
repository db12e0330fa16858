// `rivo800-tool edit ... set-channel FIRST LAST FIELD=VALUE...`: the channel properties
// dialog opened from the context menu on rows FIRST..LAST, with the named fields set and
// Ok pressed. A field not named is left as the dialog leaves an untouched control, so
// every row keeps its own value.
#include "tool/edit_ops_channel_dialog.h"

#include <map>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/records.h"
#include "editing/channel_dialog_logic.h"
#include "text/translate.h"
#include "tool/edit_args.h"

namespace rivo::tool {
namespace {

constexpr size_t kNameLength = 16;  // the dialog's name box takes 16 characters

CheckState Flag(const EditArgs& args, const std::string& field, const std::string& value) {
    if (value == "0") return CheckState::Unchecked;
    if (value == "1") return CheckState::Checked;
    args.usage(Fmt(Tr("%1 deve essere 0 o 1, non '%2'"), field, value));
}

std::size_t RunSetChannel(const EditArgs& args, EditContext& context) {
    ListPage& page = context.page;
    const int first = args.row(1, "FIRST", page.channelCount());
    const int last = args.row(2, "LAST", page.channelCount());
    args.checkOrder(first, last);

    static const std::map<std::string, int> boxes{
        {"name", box::Name}, {"transponder", box::Transponder},
        {"sid", box::Sid},   {"vpid", box::VPid},
        {"apid", box::APid}, {"vecm", box::VEcm},
        {"aecm", box::AEcm}, {"pcr", box::Pcr}};

    const auto fields = args.fields(3);

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
            std::string text = args.cellText(field, value);
            if (b->second == box::Name && text.size() > kNameLength) text.resize(kNameLength);
            values.boxes[static_cast<size_t>(b->second)] = std::move(text);
        } else if (field == "encoding") {
            const std::int64_t encoding = CellIntegerOr(value, -1);
            if (encoding < 0 || encoding >= kEncodingCount)
                args.usage(Fmt(Tr("encoding deve essere da 0 a 5, non '%1'"), value));
            values.encoding = static_cast<int>(encoding);
            values.keepEachEncoding = false;
        } else if (field == "active") {
            values.active = Flag(args, field, value);
        } else if (field == "favourite") {
            values.favourite = Flag(args, field, value);
        } else if (field == "locked") {
            values.locked = Flag(args, field, value);
        } else if (field.size() == 5 && field.compare(0, 4, "list") == 0 && field[4] >= '1' &&
                   field[4] <= '8') {
            values.lists[static_cast<size_t>(field[4] - '1')] = Flag(args, field, value);
        } else {
            args.usage(Fmt(Tr("campo '%1' sconosciuto"), field));
        }
    }

    try {
        ApplySelectionOk(page, first, last, values);
    } catch (const ConversionError& e) {
        throw ToolError(kExitFailure, e.what());
    }
    return fields.size();
}

constexpr EditOperationSpec kSetChannel{"set-channel", 2, RunSetChannel};

[[maybe_unused]] const bool kRegistered = RegisterEditOperations({kSetChannel});

}  // namespace

std::size_t SetChannelOperation(const std::vector<std::string>& words, std::size_t pos,
                                EditContext& context) {
    return kSetChannel(words, pos, context);
}

}  // namespace rivo::tool
