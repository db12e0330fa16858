// Building a page from a loaded flash image, and saving a page back into it.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/open_params.h"
#include "channels/user_prompts.h"
#include "image/kvx_image.h"
#include "text/translate.h"

namespace rivo {

// The most content one channel or transponder table can have: the single entry of a
// module that fills a sector alone (64 KiB less the sector's 32-byte table, the 16-byte
// module header and the 20-byte entry record). A packed table module is decoded to at
// most this much; a larger table could never be saved back into its sector.
inline constexpr std::size_t kMaxTableContent = 65536 - 32 - 16 - 20;
// The most content all the tables of a page can have together: what a whole flash image
// holds. Decoding stops here too, however many modules share one stream.
inline constexpr std::size_t kMaxTablesContent = 524288;

// A page that cannot be built because a table is beyond a limit above. what() names
// the module and the limit, for the user.
class PageLimitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Builds the page of a loaded flash image (imageType() == 1). The page takes the image.
// Throws PageLimitError for a table beyond kMaxTableContent or kMaxTablesContent.
std::unique_ptr<ListPage> BuildPage(std::shared_ptr<KvxImage> image, const OpenParams& params,
                                    Progress& progress);

// What opening a file as a channel list came to.
struct OpenResult {
    // Refused: a table beyond a limit of the page (PageLimitError; message says which).
    enum class Status { Ok, Unreadable, Unrecognised, MainCode, Refused };
    Status status = Status::Unrecognised;
    std::string message;  // "Formato file sconosciuto", the firmware refusal, or the I/O reason
    // Opened, but the file is not an image's size or its table is damaged
    // (LoadWarnings of the load).
    std::string warning;
    std::unique_ptr<ListPage> page;
};
// Marked only: pass it through Tr() where it is shown.
inline constexpr const char* kMainCodeMessage = TrNoop("Non è possibile editare un firm come lista canali...");

// Loads params.fileName and builds its page.
OpenResult OpenPage(const OpenParams& params, Progress& progress);

// A cell whose text the saved file does not give back: the format cannot hold what is
// shown (a number wider than its field, a name longer than its bytes, a frequency
// outside the record's range, a transponder no channel uses, which is saved as free).
struct CellDifference {
    std::string table;   // "Canali", "Transponder", "Preferiti N", "Nomi delle liste" (translated)
    int row = 0;
    std::string column;  // the column's title (translated)
    std::string shown;   // the text on the page
    std::string saved;   // the text the saved file gives back
    bool operator==(const CellDifference&) const = default;
};

// Every cell of shown whose text differs in saved, table by table, row by row. Pages
// whose tables have different sizes are compared over the rows and columns they share.
std::vector<CellDifference> PageDifferences(const ListPage& shown, const ListPage& saved);

// The differences for the user, one per line ("table, riga R, colonna C: shown -> saved"),
// the first `limit` of them, then how many more there are.
std::string DescribeDifferences(const std::vector<CellDifference>& differences, std::size_t limit = 10);

// The line that introduces the list of differences: how many cells the saved file gives
// back differently from the page.
std::string SavedDifferencesHeading(std::size_t count);

// What a save came to. On failure nothing changed: not the image in memory, not the
// file on disk, not the page's modified flag.
struct PageSaveResult {
    bool ok = false;
    // The user declined to save a file that does not give back every cell as shown
    // (PageSaveOptions::acceptDifferences said no); message is empty then.
    bool declined = false;
    std::string message;  // why it failed, naming the row and column or the sector
    std::string warning;  // see SaveResult::warning
    // The cells the saved file gives back differently (accepted), in table order.
    std::vector<CellDifference> differences;
};

// Encodes every table of the page into its image's entries and writes the image to
// path. Encodes everything first; replaces entries and writes only when all encoded.
// On success clears page.modified.
// How a save treats the file it replaces.
struct PageSaveOptions {
    // Keep an existing target as path + ".bak" when no such backup exists yet.
    bool backup = true;
    // See SaveRequest::afterTempWritten (tests damage the written file through it).
    std::function<void(const std::string& tempPath)> afterTempWritten;
    // Asked, before the written file replaces the target, when the page rebuilt from it
    // differs from this one; false cancels the save. Unset: such a save goes ahead.
    std::function<bool(const std::vector<CellDifference>&)> acceptDifferences;
    // When set, the image is serialised into this buffer instead of a file: nothing on
    // disk is touched and no backup is made. The page's modified flag is left as it is.
    Bytes* toMemory = nullptr;
};

// The new file is read back before it replaces the target: it must hold exactly the
// modules and entry bytes of the image in memory, and the page built from it must have
// as many channels, transponders and favourites slots as this one. That page is then
// compared cell by cell with this one; the cells that differ are the format's doing
// (see CellDifference) and go to options.acceptDifferences and into the result.
PageSaveResult SavePage(ListPage& page, const std::string& path, Progress& progress,
                        const PageSaveOptions& options = {});

// Encodes the page exactly as SavePage does and serialises the image into out, without
// a file (out is emptied on failure). The modules in memory then hold the encoded
// tables, as after a save; the page's modified flag is unchanged.
PageSaveResult SavePageToBytes(ListPage& page, Bytes& out, Progress& progress);

}  // namespace rivo
