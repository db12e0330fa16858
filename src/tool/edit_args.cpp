// Reading the words of an edit operation, with the usage errors every operation shares,
// and registering an operation table.
#include "tool/edit_args.h"

#include <climits>
#include <cstdint>
#include <string_view>

#include "channels/cp1252.h"
#include "channels/records.h"
#include "editing/channel_rows.h"
#include "text/translate.h"

namespace rivo::tool {

void EditArgs::usage(const std::string& message) const {
    throw ToolError(kExitUsage, operation_ + ": " + message);
}

const std::string& EditArgs::word(std::size_t at, const std::string& what) const {
    if (!has(at)) usage(Fmt(Tr("manca %1"), what));
    return words_[pos_ + at];
}

int EditArgs::row(std::size_t at, const char* what, int rows, const char* table) const {
    const std::string& text = word(at, what);
    const std::int64_t row = CellIntegerOr(text, -1);
    if (row < 1 || row > rows)
        usage(Fmt(std::string_view(table) == "transponder"
                      ? Tr("%1 '%2' non è una riga dei transponder (1..%3)")
                      : Tr("%1 '%2' non è una riga dei canali (1..%3)"),
                  what, text, rows));
    return static_cast<int>(row);
}

int EditArgs::number(std::size_t at, const char* what, int lo, int hi,
                     const std::string& range) const {
    const std::string& text = word(at, what);
    const std::int64_t value = ReadCellNumber(text, INT64_MIN);
    if (value == INT64_MIN) usage(Fmt(Tr("%1 '%2' non è un numero"), what, text));
    if (value < lo || value > hi) usage(Fmt(Tr("%1 '%2' non è %3"), what, text, range));
    return static_cast<int>(value);
}

void EditArgs::checkOrder(int first, int last) const {
    if (first > last) usage(Fmt(Tr("FIRST %1 viene dopo LAST %2"), first, last));
}

bool EditArgs::choice(std::size_t at, const std::string& first, const std::string& second) const {
    const std::string& mode = word(at, first + "|" + second);
    if (mode != first && mode != second)
        usage(Fmt(Tr("'%1' non è né %2 né %3"), mode, first, second));
    return mode == first;
}

std::vector<std::pair<std::string, std::string>> EditArgs::fields(std::size_t at) const {
    std::vector<std::pair<std::string, std::string>> fields;
    for (std::size_t i = pos_ + at; i < words_.size(); ++i) {
        const auto eq = words_[i].find('=');
        if (eq == std::string::npos) break;
        fields.emplace_back(words_[i].substr(0, eq), words_[i].substr(eq + 1));
    }
    if (fields.empty()) usage(Tr("nessun FIELD=VALUE indicato"));
    return fields;
}

std::string EditArgs::cellText(const std::string& field, const std::string& value) const {
    const auto bytes = Utf8ToCp1252(value);
    if (!bytes)
        usage(Fmt(Tr("%1: '%2' contiene un carattere che Windows-1252 non può contenere"), field,
                  value));
    return *bytes;
}

Answer CommandLinePrompts::ask(const std::string& text, const std::string&, Icon icon,
                               Buttons buttons) {
    if (buttons == Buttons::Ok) {
        if (icon != Icon::Error)
            notes_ += text + "\n";
        else if (refusal_.empty())
            refusal_ = text;
        return Answer::Ok;
    }
    const Answer answer = asked_ ? later_ : first_;
    asked_ = true;
    return answer;
}

void CommandLinePrompts::failOnRefusal() const {
    if (!refusal_.empty()) throw ToolError(kExitFailure, refusal_);
}

std::size_t EditOperationSpec::operator()(const std::vector<std::string>& words, std::size_t pos,
                                          EditContext& context) const {
    const EditArgs args(words, pos, name);
    return 1 + arity + handler(args, context);
}

bool RegisterEditOperations(std::initializer_list<EditOperationSpec> table) {
    for (const EditOperationSpec& spec : table) RegisterEditOperation(spec.name, spec);
    return true;
}

}  // namespace rivo::tool
