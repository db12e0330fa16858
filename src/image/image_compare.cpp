// Naming the first difference between an image in memory and the same image read back from
// disk, module by module and entry by entry.
#include "image/image_compare.h"

#include <algorithm>
#include <vector>

#include "text/translate.h"

namespace rivo {

namespace {

std::string ModuleLabel(int index, const KvxModule& module) {
    return Fmt(Tr("modulo %1 \"%2\""), index, module.name());
}

std::string EntryLabel(int index, const KvxEntry& entry) {
    return Fmt(Tr("voce %1 \"%2\""), index, entry.name());
}

}  // namespace

std::string FirstImageDifference(const KvxImage& expected, const KvxImage& written) {
    // Unplaced modules (a sector outside 0..7) are not written, so they are not expected.
    std::vector<const KvxModule*> placed;
    for (int i = 0; i < expected.moduleCount(); ++i) {
        const KvxModule* m = expected.module(i);
        if (m && m->sector() >= 0 && m->sector() < kSectorCount) placed.push_back(m);
    }
    std::stable_sort(placed.begin(), placed.end(), [](const KvxModule* a, const KvxModule* b) {
        return a->sector() != b->sector() ? a->sector() < b->sector() : a->slot() < b->slot();
    });

    const int count = std::min<int>(static_cast<int>(placed.size()), written.moduleCount());
    for (int i = 0; i < count; ++i) {
        const KvxModule& want = *placed[static_cast<size_t>(i)];
        const KvxModule& got = *written.module(i);
        if (want.name() != got.name())
            return Fmt(Tr("%1: riletto come \"%2\""), ModuleLabel(i, want), got.name());
        if (want.sector() != got.sector())
            return Fmt(Tr("%1: riletto nel settore %2 invece del settore %3"), ModuleLabel(i, want), got.sector(),
                       want.sector());
        if (want.entryCount() != got.entryCount())
            return Fmt(TrN("%1: %2 voci rilette invece di %3", "%1: %2 voci rilette invece di %3", got.entryCount()),
                       ModuleLabel(i, want), got.entryCount(), want.entryCount());
        for (int e = 0; e < want.entryCount(); ++e) {
            const KvxEntry& a = *want.entry(e);
            const KvxEntry& b = *got.entry(e);
            if (a.name() != b.name())
                return Fmt(Tr("%1, %2: riletta come \"%3\""), ModuleLabel(i, want), EntryLabel(e, a), b.name());
            const Bytes& x = a.data();
            const Bytes& y = b.data();
            const auto mismatch = std::mismatch(x.begin(), x.end(), y.begin(), y.end());
            if (mismatch.first != x.end() || mismatch.second != y.end()) {
                const auto offset = mismatch.first - x.begin();
                if (x.size() != y.size() && (mismatch.first == x.end() || mismatch.second == y.end()))
                    return Fmt(TrN("%1, %2: %3 byte riletti invece di %4", "%1, %2: %3 byte riletti invece di %4",
                                   static_cast<long long>(y.size())),
                               ModuleLabel(i, want), EntryLabel(e, a), y.size(), x.size());
                return Fmt(Tr("%1, %2, offset %3: byte diverso"), ModuleLabel(i, want), EntryLabel(e, a), offset);
            }
        }
    }
    if (static_cast<int>(placed.size()) != written.moduleCount())
        return Fmt(TrN("%1 moduli riletti invece di %2", "%1 moduli riletti invece di %2", written.moduleCount()),
                   written.moduleCount(), placed.size());
    return {};
}

}  // namespace rivo
