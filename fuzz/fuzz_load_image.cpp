// Loads arbitrary bytes as an image, lists everything, decodes every entry and saves.
// A flash image that saves is read back, and must hold what was saved.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/kvx_file.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rivo::TKVXFile image;
    rivo::LoadResult loaded = image.LoadBytes(rivo::Bytes(data, data + size), "fuzz");
    if (!loaded.ok()) {
        check(image.GetNumModule() == 0);
        return 0;
    }
    std::int64_t entries = 0;
    for (int i = 0; i < image.GetNumModule(); ++i) {
        check(image.GetModuleInfo(i).has_value());
        rivo::TKVXModule* m = image.GetModule(i);
        for (int k = 0; k < m->GetNumScript(); ++k) {
            check(m->GetScriptInfo(k).has_value());
            rivo::TKVXScript* s = m->GetScript(k);
            check(static_cast<std::size_t>(s->Size()) == s->Data().size());
            (void)s->GetStream();
            check(s->GetRawStream() == s->Data());
            ++entries;
        }
        check(m->GetScript(m->GetNumScript()) == nullptr);
    }
    check(entries == image.TotalScripts());
    check(image.GetModule(image.GetNumModule()) == nullptr);

    rivo::Bytes saved;
    rivo::SaveResult result = image.SaveToBytes(saved);
    if (image.GetType() != 1) {
        check(!result.ok);
        return 0;
    }
    if (!result.ok) {
        check(saved.empty() && !result.message.empty());
        return 0;
    }
    check(saved.size() == static_cast<std::size_t>(rivo::kFlashImageSize));
    rivo::TKVXFile again;
    check(again.LoadFlashBytes(saved).ok());
    check(again.GetNumModule() == image.GetNumModule());
    for (int i = 0; i < image.GetNumModule(); ++i) {
        const rivo::TKVXModule* a = image.GetModule(i);
        const rivo::TKVXModule* b = again.GetModule(i);
        check(a->Name() == b->Name() && a->Sector() == b->Sector() && a->Kind() == b->Kind());
        check(a->GetNumScript() == b->GetNumScript());
        for (int k = 0; k < a->GetNumScript(); ++k) {
            const rivo::Bytes& x = a->GetScript(k)->Data();
            const rivo::Bytes& y = b->GetScript(k)->Data();
            check(a->GetScript(k)->Name() == b->GetScript(k)->Name());
            // A raw sector cut short by the end of the file comes back padded.
            if (a->Kind() == 3) {
                check(y.size() == 65536 && std::equal(x.begin(), x.end(), y.begin()));
            } else {
                check(x == y);
            }
        }
    }
    return 0;
}
