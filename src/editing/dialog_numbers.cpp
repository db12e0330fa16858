#include "editing/dialog_numbers.h"

#include <limits>

#include "channels/records.h"

namespace rivo {

namespace {

constexpr std::int64_t kByteHigh = 255;
constexpr std::int64_t kWordHigh = 65535;

void CheckWhole(std::vector<BadNumberBox>& bad, const char* caption, const std::string& text,
                std::int64_t high, bool emptyKeeps) {
    if (emptyKeeps && text.empty()) return;
    constexpr std::int64_t kNotANumber = std::numeric_limits<std::int64_t>::min();
    const std::int64_t value = CellIntegerOr(text, kNotANumber);
    if (value >= 0 && value <= high) return;
    bad.push_back({caption, text, 0, high});
}

}  // namespace

std::vector<BadNumberBox> BadChannelNumbers(const ChannelDialogValues& values, bool emptyKeeps) {
    struct Field {
        int box;
        const char* caption;
        std::int64_t high;
    };
    // In the order the dialog shows them.
    static constexpr Field kFields[] = {
        {box::Transponder, TrNoop("Transponder"), kByteHigh},
        {box::Sid, TrNoop("SID"), kWordHigh},
        {box::APid, TrNoop("APID"), kWordHigh},
        {box::AEcm, TrNoop("AECM"), kWordHigh},
        {box::Pcr, TrNoop("PCR"), kWordHigh},
        {box::VPid, TrNoop("VPID"), kWordHigh},
        {box::VEcm, TrNoop("VECM"), kWordHigh},
    };
    std::vector<BadNumberBox> bad;
    for (const Field& field : kFields)
        CheckWhole(bad, field.caption, values.boxes[static_cast<std::size_t>(field.box)],
                   field.high, emptyKeeps);
    return bad;
}

std::vector<BadNumberBox> BadTransponderNumbers(const TransponderDialogValues& values) {
    std::vector<BadNumberBox> bad;
    try {
        FrequencyHertz(values.frequency);
    } catch (const ConversionError&) {
        bad.push_back({TrNoop("Frequenza"), values.frequency, 0, -1});
    }
    CheckWhole(bad, TrNoop("Transponder ID"), values.tid, kWordHigh, false);
    CheckWhole(bad, TrNoop("Network ID"), values.nid, kWordHigh, false);
    CheckWhole(bad, TrNoop("Canali"), values.channels, kByteHigh, false);
    return bad;
}

std::string BadNumbersQuestion(const std::vector<BadNumberBox>& boxes) {
    std::string lines;
    for (const BadNumberBox& b : boxes) {
        lines += "\n";
        lines += b.low > b.high ? Fmt(Tr("- %1: \"%2\" non è una frequenza in MHz"),
                                      Tr(b.caption.c_str()), b.text)
                                : Fmt(Tr("- %1: \"%2\" non è un numero intero da %3 a %4"),
                                      Tr(b.caption.c_str()), b.text, b.low, b.high);
    }
    return Fmt(TrN("Questo campo non contiene un valore che la lista possa "
                   "memorizzare:%1\n\nConfermare comunque?",
                   "Questi campi non contengono un valore che la lista possa "
                   "memorizzare:%1\n\nConfermare comunque?",
                   static_cast<long long>(boxes.size())),
               lines);
}

}  // namespace rivo
