// Runs users' regular expressions on RE2 (why RE2: see name_pattern.h).
#include "editing/name_pattern.h"

#include <re2/re2.h>

#include <algorithm>
#include <array>

#include "text/translate.h"

namespace rivo {

namespace {

int Utf8Characters(const std::string& text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Bytes of the UTF-8 character starting at text[at] (1 for a stray byte).
std::size_t CharacterLength(const std::string& text, std::size_t at) {
    std::size_t length = 1;
    while (at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

// Why RE2 refused a pattern, in the user's language (RE2's own texts are English only).
const char* Reason(re2::RE2::ErrorCode code) {
    switch (code) {
        case re2::RE2::ErrorBadEscape:
            return Tr("sequenza con \\ non valida (i riferimenti come \\1 non sono ammessi)");
        case re2::RE2::ErrorBadCharClass:
            return Tr("classe di caratteri non valida");
        case re2::RE2::ErrorBadCharRange:
            return Tr("intervallo di caratteri non valido");
        case re2::RE2::ErrorMissingBracket:
            return Tr("manca la parentesi di chiusura ]");
        case re2::RE2::ErrorMissingParen:
            return Tr("manca la parentesi di chiusura )");
        case re2::RE2::ErrorUnexpectedParen:
            return Tr("parentesi ) senza la sua apertura");
        case re2::RE2::ErrorTrailingBackslash:
            return Tr("\\ alla fine dell'espressione");
        case re2::RE2::ErrorRepeatArgument:
            return Tr("ripetizione senza nulla da ripetere");
        case re2::RE2::ErrorRepeatSize:
            return Tr("numero di ripetizioni non valido (al massimo 1000)");
        case re2::RE2::ErrorRepeatOp:
            return Tr("operatore di ripetizione non valido");
        case re2::RE2::ErrorBadPerlOp:
            return Tr("costrutto non ammesso (come (?= o (?!)");
        case re2::RE2::ErrorBadUTF8:
            return Tr("testo UTF-8 non valido");
        case re2::RE2::ErrorBadNamedCapture:
            return Tr("nome di gruppo non valido");
        case re2::RE2::ErrorPatternTooLarge:
            return Tr("espressione troppo grande");
        default:
            return Tr("espressione non accettata");
    }
}

}  // namespace

NamePattern::NamePattern(const std::string& pattern, bool ignoreCase) {
    const int length = Utf8Characters(pattern);
    if (length > kMaxPatternLength) {
        error_ = Fmt(Tr("Espressione regolare non valida: è lunga %1 caratteri, al massimo %2"),
                     length, kMaxPatternLength);
        return;
    }
    re2::RE2::Options options;
    options.set_encoding(re2::RE2::Options::EncodingUTF8);
    options.set_case_sensitive(!ignoreCase);
    options.set_log_errors(false);
    expression_ = std::make_unique<re2::RE2>(pattern, options);
    if (!expression_->ok()) {
        error_ = Fmt(Tr("Espressione regolare non valida: %1"), Reason(expression_->error_code()));
        expression_.reset();
    }
}

NamePattern::~NamePattern() = default;

bool NamePattern::search(const std::string& text) const {
    return expression_ && re2::RE2::PartialMatch(text, *expression_);
}

std::string NamePattern::replaceAll(const std::string& text, const std::string& replacement) const {
    if (!expression_) return text;
    constexpr int kGroups = 10;  // the whole match and $1 .. $9
    const int groups = std::min(expression_->NumberOfCapturingGroups() + 1, kGroups);
    std::array<re2::StringPiece, kGroups> match;
    std::string result;
    std::size_t searchFrom = 0, copiedTo = 0;
    while (searchFrom <= text.size() &&
           expression_->Match(text, searchFrom, text.size(), re2::RE2::UNANCHORED, match.data(),
                              groups)) {
        const auto start = static_cast<std::size_t>(match[0].data() - text.data());
        const std::size_t end = start + match[0].size();
        result.append(text, copiedTo, start - copiedTo);
        for (std::size_t i = 0; i < replacement.size(); ++i) {
            const char c = replacement[i];
            const char next = i + 1 < replacement.size() ? replacement[i + 1] : '\0';
            if (c == '$' && next == '$') {
                result += '$';
                ++i;
            } else if (c == '$' && next == '&') {
                result.append(match[0].data(), match[0].size());
                ++i;
            } else if (c == '$' && next >= '1' && next <= '9') {
                const int group = next - '0';
                if (group < groups)
                    result.append(match[static_cast<std::size_t>(group)].data(),
                                  match[static_cast<std::size_t>(group)].size());
                ++i;
            } else {
                result += c;
            }
        }
        copiedTo = end;
        if (end > start) {
            searchFrom = end;
        } else {
            // An empty match: keep the next character and look again after it.
            if (end >= text.size()) break;
            const std::size_t next = end + CharacterLength(text, end);
            result.append(text, end, next - end);
            copiedTo = searchFrom = next;
        }
    }
    result.append(text, copiedTo, std::string::npos);
    return result;
}

}  // namespace rivo
