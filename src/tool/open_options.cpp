// The open-parameter options of the tool's commands: declaring and reading them, resolving
// them into open parameters, and opening and saving a page as the editor does.
#include "tool/open_options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <ostream>

#include "channels/cp1252.h"
#include "channels/page_io.h"
#include "channels/user_prompts.h"
#include "text/translate.h"
#include "tool/tool.h"

namespace rivo::tool {

namespace {

struct OptionTarget {
    const char* name;
    std::string OpenOptions::*value;
    bool OpenOptions::*given;  // nullptr when the option has a default instead
    const char* text;
    const char* help;  // marked only: translated when the option is added
};

const std::vector<OptionTarget>& Targets() {
    static const std::vector<OptionTarget> list{
        {"--lnb-low", &OpenOptions::lnbLow, nullptr, "MHZ",
         TrNoop("LNB low-band oscillator (default 9750)")},
        {"--lnb-high", &OpenOptions::lnbHigh, nullptr, "MHZ",
         TrNoop("LNB high-band oscillator (default 10600)")},
        {"--sat-a", &OpenOptions::satA, nullptr, "NAME",
         TrNoop("satellite A name (default HotBird)")},
        {"--sat-b", &OpenOptions::satB, nullptr, "NAME",
         TrNoop("satellite B name (default Astra)")},
        {"--sr-ini", &OpenOptions::srIni, nullptr, "PATH",
         TrNoop("the symbol-rate ini file (default Sr.Ini here)")},
        {"--sr-set", &OpenOptions::srSet, &OpenOptions::srSetGiven, "NAME",
         TrNoop("which set of the ini file (default its first)")},
        {"--symbol-rates", &OpenOptions::symbolRates, &OpenOptions::symbolRatesGiven, "R0,...,R15",
         TrNoop("the sixteen symbol rates given directly (overrides the ini file)")},
    };
    return list;
}

void Set(OpenOptions& options, const OptionTarget& target, const std::string& value) {
    options.*(target.value) = value;
    if (target.given) options.*(target.given) = true;
}

[[noreturn]] void UsageText(const std::string& message) {
    throw ToolError(kExitUsage, "rivo800-tool: " + message);
}

bool ParseInt32(const std::string& text, std::int32_t& value) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, last, value, 10);
    return first != last && ec == std::errc() && ptr == last;
}

std::string SatelliteBytes(const std::string& option, const std::string& text) {
    if (text.empty())
        UsageText(Fmt(Tr("%1: il nome di un satellite non può essere vuoto"), option));
    auto bytes = Utf8ToCp1252(text);
    if (!bytes)
        UsageText(Fmt(Tr("%1: '%2' contiene un carattere che il ricevitore non può memorizzare"),
                      option, text));
    return *bytes;
}

}  // namespace

void AddOpenOptions(CLI::App& command, OpenOptions& options) {
    for (const auto& target : Targets()) {
        command
            .add_option_function<std::string>(
                target.name, [&options, &target](const std::string& v) { Set(options, target, v); },
                Tr(target.help))
            ->option_text(target.text)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);  // a later option overrides
    }
}

std::size_t TakeOpenOption(const std::vector<std::string>& words, std::size_t pos,
                           OpenOptions& options) {
    if (pos >= words.size()) return 0;
    const std::string& word = words[pos];
    for (const auto& target : Targets()) {
        const std::string name = target.name;
        if (word == name) {
            if (pos + 1 >= words.size()) UsageText(Fmt(Tr("%1 richiede un valore"), name));
            Set(options, target, words[pos + 1]);
            return 2;
        }
        if (word.compare(0, name.size() + 1, name + "=") == 0) {
            Set(options, target, word.substr(name.size() + 1));
            return 1;
        }
    }
    return 0;
}

OpenParams ResolveOpenParams(const OpenOptions& options, const std::string& file) {
    OpenParams params;
    params.fileName = file;
    if (!ParseInt32(options.lnbLow, params.lnbLow))
        UsageText(Fmt(Tr("%1: '%2' non è un numero intero di MHz"), "--lnb-low", options.lnbLow));
    if (!ParseInt32(options.lnbHigh, params.lnbHigh))
        UsageText(Fmt(Tr("%1: '%2' non è un numero intero di MHz"), "--lnb-high", options.lnbHigh));
    params.satelliteA = SatelliteBytes("--sat-a", options.satA);
    params.satelliteB = SatelliteBytes("--sat-b", options.satB);
    if (params.satelliteA == params.satelliteB)
        UsageText(Fmt(Tr("i nomi dei satelliti devono essere diversi ('%1')"), options.satA));

    if (options.symbolRatesGiven) {
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (;;) {
            const auto comma = options.symbolRates.find(',', start);
            parts.push_back(options.symbolRates.substr(start, comma - start));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        if (parts.size() != 16)
            UsageText(
                Fmt(Tr("--symbol-rates richiede sedici symbol rate separati da virgole, non %1"),
                    parts.size()));
        for (std::size_t i = 0; i < 16; ++i) {
            // An empty place is an empty cell of the editor's table: rate 0.
            if (parts[i].empty()) continue;
            if (!ParseInt32(parts[i], params.symbolRates[i]))
                UsageText(Fmt(Tr("--symbol-rates: '%1' non è un numero intero"), parts[i]));
        }
        return params;
    }

    // As the open dialog: the first set is shown, then the chosen one replaces it, except
    // that choosing the custom set keeps what is shown.
    std::string iniProblem;
    bool iniMissing = false;
    const auto sets = ReadSymbolRateSets(options.srIni, &iniProblem, &iniMissing);
    // No ini file at all is the usual case and gives zero rates; one that is there but
    // cannot be read (a folder, a FIFO, a device, too large, no permission) would give
    // the same zeros without a word, so it is refused with the reason instead.
    if (!iniProblem.empty() && !iniMissing)
        throw ToolError(kExitFailure, "rivo800-tool: --sr-ini: " + iniProblem);
    SymbolRateSet shown;
    shown.rates.fill(-1);
    if (!sets.empty() && sets.front().name != kCustomSetName) shown = sets.front();
    if (options.srSetGiven) {
        auto it = std::find_if(sets.begin(), sets.end(),
                               [&](const SymbolRateSet& s) { return s.name == options.srSet; });
        if (it == sets.end())
            UsageText(iniProblem.empty() ? Fmt(Tr("--sr-set: nessun set chiamato '%1' in %2"),
                                               options.srSet, options.srIni)
                                         : Fmt(Tr("--sr-set: nessun set chiamato '%1' in %2 (%3)"),
                                               options.srSet, options.srIni, iniProblem));
        if (it->name != kCustomSetName) shown = *it;
    }
    params.symbolRates = RatesForOpen(shown);
    return params;
}

std::unique_ptr<ListPage> OpenListPage(const OpenParams& params, std::ostream& err) {
    NullProgress progress;
    OpenResult opened = OpenPage(params, progress);
    switch (opened.status) {
        case OpenResult::Status::Ok:
            if (!opened.warning.empty())
                err << Fmt(Tr("Attenzione: %1: %2"), params.fileName, opened.warning) << "\n";
            return std::move(opened.page);
        case OpenResult::Status::Unreadable:
            throw ToolError(kExitFailure, opened.message);
        case OpenResult::Status::Unrecognised:
            throw ToolError(kExitUnknownFormat, opened.message);
        case OpenResult::Status::MainCode:
            throw ToolError(kExitMainCode, opened.message);
        case OpenResult::Status::Refused:
            throw ToolError(kExitFailure,
                            Fmt(Tr("Attenzione: %1: %2"), params.fileName, opened.message));
    }
    throw ToolError(kExitFailure, opened.message);
}

void SaveListPage(ListPage& page, const std::string& out, std::ostream& err) {
    NullProgress progress;
    // Scripts name their output files themselves and would not expect a ".bak" to
    // appear beside them; the editor keeps one, the tool only verifies and replaces.
    PageSaveOptions options;
    options.backup = false;
    // The file is saved as the format allows (the user asked for it); every cell that
    // will read back differently is named on standard error.
    options.acceptDifferences = [&err](const std::vector<CellDifference>& differences) {
        err << SavedDifferencesHeading(differences.size())
            << DescribeDifferences(differences, differences.size());
        return true;
    };
    const PageSaveResult saved = SavePage(page, out, progress, options);
    if (!saved.ok) throw ToolError(kExitFailure, saved.message);
    if (!saved.warning.empty()) err << saved.warning << "\n";
}

}  // namespace rivo::tool
