#include "image/image_compare.h"

#include <algorithm>
#include <vector>

namespace rivo {

namespace {

std::string moduleLabel(int index, const TKVXModule& module) {
    return "modulo " + std::to_string(index) + " \"" + module.Name() + "\"";
}

std::string entryLabel(int index, const TKVXScript& script) {
    return "voce " + std::to_string(index) + " \"" + script.Name() + "\"";
}

}  // namespace

std::string FirstImageDifference(const TKVXFile& expected, const TKVXFile& written) {
    // Unplaced modules (a sector outside 0..7) are not written, so they are not expected.
    std::vector<const TKVXModule*> placed;
    for (int i = 0; i < expected.GetNumModule(); ++i) {
        const TKVXModule* m = expected.GetModule(i);
        if (m && m->Sector() >= 0 && m->Sector() < kSectorCount) placed.push_back(m);
    }
    std::stable_sort(placed.begin(), placed.end(), [](const TKVXModule* a, const TKVXModule* b) {
        return a->Sector() != b->Sector() ? a->Sector() < b->Sector() : a->Slot() < b->Slot();
    });

    const int count = std::min<int>(static_cast<int>(placed.size()), written.GetNumModule());
    for (int i = 0; i < count; ++i) {
        const TKVXModule& want = *placed[static_cast<size_t>(i)];
        const TKVXModule& got = *written.GetModule(i);
        if (want.Name() != got.Name())
            return moduleLabel(i, want) + ": riletto come \"" + got.Name() + "\"";
        if (want.Sector() != got.Sector())
            return moduleLabel(i, want) + ": riletto nel settore " + std::to_string(got.Sector()) +
                   " invece del settore " + std::to_string(want.Sector());
        if (want.GetNumScript() != got.GetNumScript())
            return moduleLabel(i, want) + ": " + std::to_string(got.GetNumScript()) + " voci rilette invece di " +
                   std::to_string(want.GetNumScript());
        for (int e = 0; e < want.GetNumScript(); ++e) {
            const TKVXScript& a = *want.GetScript(e);
            const TKVXScript& b = *got.GetScript(e);
            if (a.Name() != b.Name())
                return moduleLabel(i, want) + ", " + entryLabel(e, a) + ": riletta come \"" + b.Name() + "\"";
            const Bytes& x = a.Data();
            const Bytes& y = b.Data();
            const auto mismatch = std::mismatch(x.begin(), x.end(), y.begin(), y.end());
            if (mismatch.first != x.end() || mismatch.second != y.end()) {
                const auto offset = mismatch.first - x.begin();
                if (x.size() != y.size() && (mismatch.first == x.end() || mismatch.second == y.end()))
                    return moduleLabel(i, want) + ", " + entryLabel(e, a) + ": " + std::to_string(y.size()) +
                           " byte riletti invece di " + std::to_string(x.size());
                return moduleLabel(i, want) + ", " + entryLabel(e, a) + ", offset " + std::to_string(offset) +
                       ": byte diverso";
            }
        }
    }
    if (static_cast<int>(placed.size()) != written.GetNumModule())
        return std::to_string(written.GetNumModule()) + " moduli riletti invece di " + std::to_string(placed.size());
    return {};
}

}  // namespace rivo
