// Reading a gettext .mo catalogue (either byte order) and looking texts up in it, plural
// forms included.
#include "text/catalogue.h"

#include <cctype>
#include <fstream>
#include <iterator>

#include "text/translate.h"

namespace rivo {

namespace {

constexpr std::uint32_t kMagic = 0x950412deU;
constexpr std::uint32_t kSwappedMagic = 0xde120495U;
// Our catalogues hold a few thousand short texts; anything far larger is not one.
constexpr std::size_t kMaxCatalogueBytes = 16U * 1024U * 1024U;

std::uint32_t ReadWord(std::span<const std::uint8_t> bytes, std::size_t at, bool swapped) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t byte = bytes[at + static_cast<std::size_t>(swapped ? i : 3 - i)];
        value = (value << 8) | byte;
    }
    return value;
}

// The text a table slot points to, checked to lie inside the file with its ending NUL.
std::optional<std::string_view> ReadString(std::span<const std::uint8_t> bytes, std::size_t tableAt,
                                           std::uint32_t index, bool swapped) {
    const std::size_t slot = tableAt + std::size_t{index} * 8U;
    if (slot + 8U > bytes.size() || slot < tableAt) return std::nullopt;
    const std::size_t length = ReadWord(bytes, slot, swapped);
    const std::size_t offset = ReadWord(bytes, slot + 4U, swapped);
    if (offset > bytes.size() || length >= bytes.size() - offset) return std::nullopt;
    if (bytes[offset + length] != 0) return std::nullopt;
    return std::string_view(reinterpret_cast<const char*>(bytes.data()) + offset, length);
}

std::vector<std::string> SplitAtNul(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\0', start);
        parts.emplace_back(text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return parts;
}

}  // namespace

// The "plural=" expression of a catalogue's header: C's integer expressions over n
// (?:, ||, &&, comparisons, + - * / %, !, parentheses), as gettext defines it, in
// unsigned arithmetic as gettext evaluates it (so no count can overflow it).
// (?:, ||, &&, comparisons, + - * / %, !, parentheses), as gettext defines it.
class PluralRule {
public:
    static std::unique_ptr<PluralRule> Parse(std::string_view text) {
        auto rule = std::unique_ptr<PluralRule>(new PluralRule());
        rule->text_ = std::string(text);
        // A trial run over a few counts finds a rule that does not parse.
        for (unsigned long long n : {0ULL, 1ULL, 2ULL, 5ULL, 11ULL, 21ULL, 101ULL}) {
            bool ok = true;
            rule->evaluate(n, &ok);
            if (!ok) return nullptr;
        }
        return rule;
    }

    unsigned long long evaluate(unsigned long long n, bool* ok) const {
        Cursor cursor{text_, 0, n, true, 0};
        const unsigned long long value = ternary(cursor);
        skipSpaces(cursor);
        if (cursor.at != cursor.text.size()) cursor.ok = false;
        *ok = cursor.ok;
        return value;
    }

private:
    struct Cursor {
        std::string_view text;
        std::size_t at;
        unsigned long long n;
        bool ok;
        int depth;
    };
    static constexpr int kMaxDepth = 64;

    static void skipSpaces(Cursor& c) {
        while (c.at < c.text.size() && std::isspace(static_cast<unsigned char>(c.text[c.at])))
            ++c.at;
    }
    static bool take(Cursor& c, std::string_view token) {
        skipSpaces(c);
        if (c.text.substr(c.at, token.size()) != token) return false;
        // "=" must not take the first half of "==", nor "<" of "<=", nor "|" of "||".
        if (token.size() == 1 && c.at + 1 < c.text.size()) {
            const char next = c.text[c.at + 1];
            if ((token == "<" || token == ">" || token == "!") && next == '=') return false;
        }
        c.at += token.size();
        return true;
    }
    static unsigned long long ternary(Cursor& c) {
        if (++c.depth > kMaxDepth) {
            c.ok = false;
            return 0;
        }
        const unsigned long long condition = logicalOr(c);
        unsigned long long value = condition;
        if (take(c, "?")) {
            const unsigned long long whenTrue = ternary(c);
            if (!take(c, ":")) c.ok = false;
            const unsigned long long whenFalse = ternary(c);
            value = condition ? whenTrue : whenFalse;
        }
        --c.depth;
        return value;
    }
    static unsigned long long logicalOr(Cursor& c) {
        unsigned long long value = logicalAnd(c);
        while (c.ok && take(c, "||")) {
            const unsigned long long right = logicalAnd(c);
            value = (value || right) ? 1 : 0;
        }
        return value;
    }
    static unsigned long long logicalAnd(Cursor& c) {
        unsigned long long value = equality(c);
        while (c.ok && take(c, "&&")) {
            const unsigned long long right = equality(c);
            value = (value && right) ? 1 : 0;
        }
        return value;
    }
    static unsigned long long equality(Cursor& c) {
        unsigned long long value = relation(c);
        while (c.ok) {
            if (take(c, "==")) {
                value = value == relation(c) ? 1 : 0;
            } else if (take(c, "!=")) {
                value = value != relation(c) ? 1 : 0;
            } else {
                break;
            }
        }
        return value;
    }
    static unsigned long long relation(Cursor& c) {
        unsigned long long value = additive(c);
        while (c.ok) {
            if (take(c, "<=")) {
                value = value <= additive(c) ? 1 : 0;
            } else if (take(c, ">=")) {
                value = value >= additive(c) ? 1 : 0;
            } else if (take(c, "<")) {
                value = value < additive(c) ? 1 : 0;
            } else if (take(c, ">")) {
                value = value > additive(c) ? 1 : 0;
            } else {
                break;
            }
        }
        return value;
    }
    static unsigned long long additive(Cursor& c) {
        unsigned long long value = multiplicative(c);
        while (c.ok) {
            if (take(c, "+")) {
                value += multiplicative(c);
            } else if (take(c, "-")) {
                value -= multiplicative(c);
            } else {
                break;
            }
        }
        return value;
    }
    static unsigned long long multiplicative(Cursor& c) {
        unsigned long long value = unary(c);
        while (c.ok) {
            char op = 0;
            if (take(c, "*")) {
                op = '*';
            } else if (take(c, "/")) {
                op = '/';
            } else if (take(c, "%")) {
                op = '%';
            } else {
                break;
            }
            const unsigned long long right = unary(c);
            if (op == '*') {
                value *= right;
            } else if (right == 0) {
                c.ok = false;
            } else {
                value = op == '/' ? value / right : value % right;
            }
        }
        return value;
    }
    static unsigned long long unary(Cursor& c) {
        if (take(c, "!")) {
            if (++c.depth > kMaxDepth) {
                c.ok = false;
                return 0;
            }
            const unsigned long long value = unary(c) == 0 ? 1 : 0;
            --c.depth;
            return value;
        }
        if (take(c, "(")) {
            const unsigned long long value = ternary(c);
            if (!take(c, ")")) c.ok = false;
            return value;
        }
        skipSpaces(c);
        if (c.at < c.text.size() && c.text[c.at] == 'n') {
            ++c.at;
            return c.n;
        }
        unsigned long long value = 0;
        const std::size_t start = c.at;
        while (c.at < c.text.size() && std::isdigit(static_cast<unsigned char>(c.text[c.at])) &&
               c.at - start < 9) {
            value = value * 10 + static_cast<unsigned long long>(c.text[c.at] - '0');
            ++c.at;
        }
        if (c.at == start) c.ok = false;
        return value;
    }

    std::string text_;
};

Catalogue::Catalogue() = default;
Catalogue::Catalogue(Catalogue&&) noexcept = default;
Catalogue& Catalogue::operator=(Catalogue&&) noexcept = default;
Catalogue::~Catalogue() = default;

std::optional<Catalogue> Catalogue::FromBytes(std::span<const std::uint8_t> bytes,
                                              std::string* error) {
    auto fail = [&](const char* why) -> std::optional<Catalogue> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (bytes.size() < 28) return fail(Tr("troppo corto per un catalogo"));
    if (bytes.size() > kMaxCatalogueBytes) return fail(Tr("troppo grande per un catalogo"));
    bool swapped = false;
    const std::uint32_t magic = ReadWord(bytes, 0, false);
    if (magic == kSwappedMagic) {
        swapped = true;
    } else if (magic != kMagic) {
        return fail(Tr("non è un catalogo gettext (numero magico errato)"));
    }
    if ((ReadWord(bytes, 4, swapped) >> 16) > 1)
        return fail(Tr("revisione del catalogo sconosciuta"));
    const std::uint32_t count = ReadWord(bytes, 8, swapped);
    const std::size_t originals = ReadWord(bytes, 12, swapped);
    const std::size_t translations = ReadWord(bytes, 16, swapped);
    if (count > bytes.size() / 8) return fail(Tr("catalogo troncato o danneggiato"));

    Catalogue catalogue;
    std::string pluralForms;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto original = ReadString(bytes, originals, i, swapped);
        const auto translation = ReadString(bytes, translations, i, swapped);
        if (!original || !translation) return fail(Tr("catalogo troncato o danneggiato"));
        if (original->empty()) {
            const std::size_t at = translation->find("Plural-Forms:");
            if (at != std::string_view::npos) {
                const std::size_t end = translation->find('\n', at);
                pluralForms = std::string(
                    translation->substr(at, end == std::string_view::npos ? end : end - at));
            }
            continue;
        }
        // A text with a plural is stored as "singular\0plural"; it is found by its
        // singular, and its translation holds one form per plural index.
        const std::string key(original->substr(0, original->find('\0')));
        catalogue.entries_[key] = Entry{SplitAtNul(*translation)};
    }
    if (!pluralForms.empty()) {
        const std::size_t formsAt = pluralForms.find("nplurals=");
        const std::size_t ruleAt =
            pluralForms.find("plural=", formsAt == std::string::npos ? 0 : formsAt + 9);
        if (formsAt == std::string::npos || ruleAt == std::string::npos)
            return fail(Tr("regola dei plurali danneggiata"));
        int forms = 0;
        for (std::size_t k = formsAt + 9;
             k < pluralForms.size() && std::isdigit(static_cast<unsigned char>(pluralForms[k]));
             ++k) {
            forms = forms * 10 + (pluralForms[k] - '0');
            if (forms > 16) break;
        }
        if (forms < 1 || forms > 16) return fail(Tr("regola dei plurali danneggiata"));
        std::string rule = pluralForms.substr(ruleAt + 7);
        while (!rule.empty() &&
               (rule.back() == ';' || std::isspace(static_cast<unsigned char>(rule.back()))))
            rule.pop_back();
        catalogue.rule_ = PluralRule::Parse(rule);
        if (!catalogue.rule_) return fail(Tr("regola dei plurali danneggiata"));
        catalogue.pluralForms_ = forms;
    }
    return catalogue;
}

std::optional<Catalogue> Catalogue::FromFile(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = Tr("impossibile leggerlo");
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + in.gcount());
        if (bytes.size() > kMaxCatalogueBytes) {
            if (error) *error = Tr("troppo grande per un catalogo");
            return std::nullopt;
        }
    }
    return FromBytes(bytes, error);
}

const char* Catalogue::find(std::string_view original) const {
    const auto it = entries_.find(std::string(original));
    if (it == entries_.end() || it->second.forms.empty() || it->second.forms.front().empty())
        return nullptr;
    return it->second.forms.front().c_str();
}

int Catalogue::pluralIndex(long long count) const {
    if (!rule_) return count == 1 ? 0 : 1;
    bool ok = true;
    // Counts are never negative; a negative one is taken by its size.
    const unsigned long long n = count < 0 ? 0ULL - static_cast<unsigned long long>(count)
                                           : static_cast<unsigned long long>(count);
    const unsigned long long index = rule_->evaluate(n, &ok);
    if (!ok || index >= static_cast<unsigned long long>(pluralForms_)) return 0;
    return static_cast<int>(index);
}

const char* Catalogue::findPlural(std::string_view singular, long long count) const {
    const auto it = entries_.find(std::string(singular));
    if (it == entries_.end()) return nullptr;
    const auto index = static_cast<std::size_t>(pluralIndex(count));
    if (index >= it->second.forms.size() || it->second.forms[index].empty()) return nullptr;
    return it->second.forms[index].c_str();
}

}  // namespace rivo
