// The memory an order file costs to read, counted by the allocator: a file of many
// fields per line is read one record at a time, keeping only the columns the import
// uses, and a line of too many fields is refused at that line.
#include <gtest/gtest.h>

#include <string>

#include "channels/csv_import.h"
#include "heap_counter.h"

namespace rivo {
namespace {

struct Outcome {
    bool accepted;
    std::size_t rows;
    std::string error;
    long long peakBytes;  // the most heap in use while reading, beyond what was in use before
};

Outcome ReadCounted(const std::string& bytes) {
    ResetPeakHeapBytes();
    const long long before = LiveHeapBytes();
    const ReferenceFileResult result = ReadReferenceFile(bytes);
    return {result.file.has_value(), result.file ? result.file->rows.size() : 0, result.error,
            PeakHeapBytes() - before};
}

std::string Repeated(const std::string& line, int times) {
    std::string text;
    text.reserve(line.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

constexpr long long kMiB = 1024 * 1024;

TEST(ImportHeap, FilesOfManyFieldsCostLittleMemory) {
    struct Case {
        const char* what;
        std::string bytes;
        bool accepted;
        std::size_t rows;
        const char* error;  // the message holds it
    } cases[] = {
        // 64 MiB of commas: refused at its first line, before the file is parsed.
        {"1,020 lines of 65,500 commas", Repeated(std::string(65'500, ',') + "\n", 1'020), false, 0,
         "Riga 1: la riga ha più di 1000 campi."},
        {"1,000 lines of 1,A and 65,000 commas",
         Repeated("1,A" + std::string(65'000, ',') + "\n", 1'000), false, 0,
         "Riga 1: la riga ha più di 1000 campi."},
        {"a header, then 1,000 lines of 32,500 ,a",
         "name,sid\n" + Repeated(Repeated(",a", 32'500) + "\n", 1'000), false, 0,
         "Riga 2: la riga ha più di 1000 campi."},
        // Accepted: 998 unused fields per line, at the limit, are skipped and not kept.
        {"20,000 lines of two used and 998 unused fields",
         "name,sid" + std::string(998, ',') + "\n" +
             Repeated("A,1" + std::string(998, ',') + "\n", 20'000),
         true, 20'000, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome outcome = ReadCounted(c.bytes);
        EXPECT_EQ(outcome.accepted, c.accepted) << outcome.error;
        EXPECT_EQ(outcome.rows, c.rows);
        EXPECT_NE(outcome.error.find(c.error), std::string::npos) << outcome.error;
        // Keeping every field took 1 to 2 GB here; the rows alone take a few MB.
        EXPECT_LT(outcome.peakBytes, 32 * kMiB);
    }
}

}  // namespace
}  // namespace rivo
