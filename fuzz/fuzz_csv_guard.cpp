// Channel names and satellite names from arbitrary bytes go out as the channel CSV the
// editor exports and are read back by the order file reader: every row comes back, in
// order, with its number, its name exactly and its satellite (the reader trims spaces
// and tabs around it). A name a spreadsheet would take as a formula goes out with an
// apostrophe before it; the reader must drop that apostrophe and nothing else.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "channels/cp1252.h"
#include "channels/csv_export.h"
#include "channels/csv_import.h"
#include "page_maker.h"

namespace {

// A property that does not hold stops the run, naming its line.
void Check(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "check failed at line %d\n", line);
    std::abort();
}

// A name cell as the grid holds it: up to 16 Windows-1252 bytes, no NUL (the record's
// name ends at the first one). The reader takes a file with control bytes other than
// the tab and the line ends for binary data and refuses it whole, so those become
// spaces here: a name holding one does not travel through the file.
std::string NameBytes(FuzzedDataProvider& in) {
    std::string name = in.ConsumeRandomLengthString(16);
    for (char& c : name) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && c != '\t' && c != '\r' && c != '\n') || b == 0x7F) c = ' ';
    }
    return name;
}

std::string TrimmedOfSpacesAndTabs(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

#define CHECK(condition) Check((condition), __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int channels = in.ConsumeIntegralInRange(1, 6);
    const int transponders = in.ConsumeIntegralInRange(1, 2);
    rivo::ListPage page = rivo::pages::MakePage(channels, transponders);
    std::vector<std::string> satellites;
    for (int t = 1; t <= transponders; ++t) {
        rivo::pages::Transponder values;
        values.satellite = NameBytes(in);
        satellites.push_back(values.satellite);
        rivo::pages::SetTransponder(page, t, values);
    }
    std::vector<std::string> names;
    for (int r = 1; r <= channels; ++r) {
        names.push_back(NameBytes(in));
        rivo::pages::SetChannel(page, r, names.back(), 1 + (r - 1) % transponders);
    }

    const std::string csv = rivo::ExportCsv(page, rivo::CsvTable::Channels);
    const rivo::ReferenceFileResult result = rivo::ReadReferenceFile(csv);
    if (!result.file) std::fprintf(stderr, "%s\n", result.error.c_str());
    CHECK(result.file.has_value());
    const rivo::ReferenceFile& file = *result.file;
    CHECK(file.hasNumber && file.hasName && file.hasSatellite && !file.plainList);
    CHECK(file.rows.size() == static_cast<std::size_t>(channels));
    for (int r = 1; r <= channels; ++r) {
        const rivo::ReferenceFileRow& row = file.rows[static_cast<std::size_t>(r - 1)];
        CHECK(row.number == r);
        CHECK(row.name == rivo::Cp1252ToUtf8(names[static_cast<std::size_t>(r - 1)]));
        const std::string& satellite = satellites[static_cast<std::size_t>((r - 1) % transponders)];
        CHECK(row.satellite == TrimmedOfSpacesAndTabs(rivo::Cp1252ToUtf8(satellite)));
    }
    return 0;
}
