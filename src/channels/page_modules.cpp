// The modules that hold a page's tables, shared by building a page and saving it.
#include "channels/page_modules.h"

#include <algorithm>
#include <cctype>

namespace rivo::page_detail {

namespace {

std::string Upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

bool ContainsPart(const std::string& name, const char* part) { return name.find(part) != std::string::npos; }

std::vector<KvxModule*> DistinctModules(KvxImage& image, const char* part) {
    std::vector<KvxModule*> modules;
    std::vector<std::string> seen;
    for (int i = 0; i < image.moduleCount(); ++i) {
        KvxModule* module = image.module(i);
        if (!module || !ContainsPart(module->name(), part)) continue;
        std::string key = Upper(module->name());
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(std::move(key));
        modules.push_back(module);
    }
    return modules;
}

int SplitBlock(const std::string& name) {
    if (name == "TCS") return 0;
    if (name.size() >= 4 && name[3] >= '0' && name[3] <= '9') return name[3] - '0';
    return -1;
}

void OrderSplitModules(std::vector<KvxModule*>& modules) {
    std::stable_sort(modules.begin(), modules.end(), [](const KvxModule* a, const KvxModule* b) {
        auto key = [](const KvxModule* m) {
            const int block = SplitBlock(m->name());
            return block < 0 ? 10 : block;
        };
        return key(a) < key(b);
    });
}

Bytes FirstEntryContent(KvxModule* module) {
    KvxEntry* entry = module->entry(0);
    if (!entry) return {};
    return entry->content();
}

int FavouriteListNumber(const std::string& name) {
    if (name.size() == 10 && name.compare(0, 5, "Lista") == 0 && name.compare(6, 4, ".pre") == 0 &&
        name[5] >= '1' && name[5] <= '8')
        return name[5] - '0';
    return 0;
}

TransponderContext ContextOf(const ListPage& page) {
    return {page.lnbLow, page.lnbHigh, page.symbolRates, page.satelliteA, page.satelliteB};
}

}  // namespace rivo::page_detail
