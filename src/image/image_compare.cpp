#include "image/image_compare.h"

#include <algorithm>
#include <vector>

namespace rivo {

namespace {

std::string ModuleLabel(int index, const KvxModule& module) {
    return "modulo " + std::to_string(index) + " \"" + module.name() + "\"";
}

std::string EntryLabel(int index, const KvxEntry& entry) {
    return "voce " + std::to_string(index) + " \"" + entry.name() + "\"";
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
            return ModuleLabel(i, want) + ": riletto come \"" + got.name() + "\"";
        if (want.sector() != got.sector())
            return ModuleLabel(i, want) + ": riletto nel settore " + std::to_string(got.sector()) +
                   " invece del settore " + std::to_string(want.sector());
        if (want.entryCount() != got.entryCount())
            return ModuleLabel(i, want) + ": " + std::to_string(got.entryCount()) + " voci rilette invece di " +
                   std::to_string(want.entryCount());
        for (int e = 0; e < want.entryCount(); ++e) {
            const KvxEntry& a = *want.entry(e);
            const KvxEntry& b = *got.entry(e);
            if (a.name() != b.name())
                return ModuleLabel(i, want) + ", " + EntryLabel(e, a) + ": riletta come \"" + b.name() + "\"";
            const Bytes& x = a.data();
            const Bytes& y = b.data();
            const auto mismatch = std::mismatch(x.begin(), x.end(), y.begin(), y.end());
            if (mismatch.first != x.end() || mismatch.second != y.end()) {
                const auto offset = mismatch.first - x.begin();
                if (x.size() != y.size() && (mismatch.first == x.end() || mismatch.second == y.end()))
                    return ModuleLabel(i, want) + ", " + EntryLabel(e, a) + ": " + std::to_string(y.size()) +
                           " byte riletti invece di " + std::to_string(x.size());
                return ModuleLabel(i, want) + ", " + EntryLabel(e, a) + ", offset " + std::to_string(offset) +
                       ": byte diverso";
            }
        }
    }
    if (static_cast<int>(placed.size()) != written.moduleCount())
        return std::to_string(written.moduleCount()) + " moduli riletti invece di " + std::to_string(placed.size());
    return {};
}

}  // namespace rivo
