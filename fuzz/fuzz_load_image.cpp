// Loads arbitrary bytes as an image, lists everything, decodes every entry and saves.
// A flash image that saves is read back, and must hold what was saved.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/kvx_image.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rivo::KvxImage image;
    rivo::LoadResult loaded = image.loadBytes(rivo::Bytes(data, data + size), "fuzz");
    if (!loaded.ok()) {
        check(image.moduleCount() == 0);
        return 0;
    }
    std::int64_t entries = 0;
    for (int i = 0; i < image.moduleCount(); ++i) {
        check(image.moduleRecord(i).has_value());
        rivo::KvxModule* m = image.module(i);
        for (int k = 0; k < m->entryCount(); ++k) {
            check(m->entryRecord(k).has_value());
            rivo::KvxEntry* s = m->entry(k);
            check(static_cast<std::size_t>(s->size()) == s->data().size());
            (void)s->content();
            check(s->storedBytes() == s->data());
            ++entries;
        }
        check(m->entry(m->entryCount()) == nullptr);
    }
    check(entries == image.totalEntries());
    check(image.module(image.moduleCount()) == nullptr);

    rivo::Bytes saved;
    rivo::SaveResult result = image.saveToBytes(saved);
    if (image.imageType() != 1) {
        check(!result.ok);
        return 0;
    }
    if (!result.ok) {
        check(saved.empty() && !result.message.empty());
        return 0;
    }
    check(saved.size() == static_cast<std::size_t>(rivo::kFlashImageSize));
    rivo::KvxImage again;
    check(again.loadFlashBytes(saved).ok());
    check(again.moduleCount() == image.moduleCount());
    for (int i = 0; i < image.moduleCount(); ++i) {
        const rivo::KvxModule* a = image.module(i);
        const rivo::KvxModule* b = again.module(i);
        check(a->name() == b->name() && a->sector() == b->sector() && a->kind() == b->kind());
        check(a->entryCount() == b->entryCount());
        for (int k = 0; k < a->entryCount(); ++k) {
            const rivo::Bytes& x = a->entry(k)->data();
            const rivo::Bytes& y = b->entry(k)->data();
            check(a->entry(k)->name() == b->entry(k)->name());
            // A raw sector cut short by the end of the file comes back padded.
            if (a->kind() == 3) {
                check(y.size() == 65536 && std::equal(x.begin(), x.end(), y.begin()));
            } else {
                check(x == y);
            }
        }
    }
    return 0;
}
