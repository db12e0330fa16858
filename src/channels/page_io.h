// Building a page from a loaded flash image, and saving a page back into it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "channels/list_page.h"
#include "channels/open_params.h"
#include "channels/user_prompts.h"
#include "image/kvx_file.h"

namespace rivo {

// Builds the page of a loaded flash image (GetType() == 1). The page takes the image.
std::unique_ptr<ListPage> BuildPage(std::shared_ptr<TKVXFile> image, const TOpenParams& params,
                                    Progress& progress);

// What opening a file as a channel list came to.
struct OpenResult {
    enum class Status { Ok, Unreadable, Unrecognised, MainCode };
    Status status = Status::Unrecognised;
    std::string message;  // "Formato file sconosciuto", the firmware refusal, or the I/O reason
    std::string warning;  // opened, but the file is not an image's size (LoadResult::sizeWarning)
    std::unique_ptr<ListPage> page;
};
inline constexpr const char* kMainCodeMessage = "Non è possibile editare un firm come lista canali...";

// Loads params.FileName and builds its page.
OpenResult OpenPage(const TOpenParams& params, Progress& progress);

// What a save came to. On failure nothing changed: not the image in memory, not the
// file on disk, not the page's modified flag.
struct PageSaveResult {
    bool ok = false;
    std::string message;  // why it failed, naming the row and column or the sector
    std::string warning;  // see SaveResult::warning
};

// Encodes every table of the page into its image's entries and writes the image to
// path. Encodes everything first; replaces entries and writes only when all encoded.
// On success clears page.Modified.
// How a save treats the file it replaces.
struct PageSaveOptions {
    // Keep an existing target as path + ".bak" when no such backup exists yet.
    bool backup = true;
    // See KVXSaveFlash::AfterTempWritten (tests damage the written file through it).
    std::function<void(const std::string& tempPath)> afterTempWritten;
    // When set, the image is serialised into this buffer instead of a file: nothing on
    // disk is touched and no backup is made. The page's modified flag is left as it is.
    Bytes* toMemory = nullptr;
};

// The new file is read back before it replaces the target: it must hold exactly the
// modules and entry bytes of the image in memory, and the page built from it must have
// as many channels, transponders and favourites slots as this one.
PageSaveResult SavePage(ListPage& page, const std::string& path, Progress& progress,
                        const PageSaveOptions& options = {});

// Encodes the page exactly as SavePage does and serialises the image into out, without
// a file (out is emptied on failure). The modules in memory then hold the encoded
// tables, as after a save; the page's modified flag is unchanged.
PageSaveResult SavePageToBytes(ListPage& page, Bytes& out, Progress& progress);

}  // namespace rivo
