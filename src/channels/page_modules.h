// What building a page and saving it share: which modules hold the tables, in which
// order they are read and written, and how a support entry names its list. Internal to
// src/channels (page_build.cpp, page_save.cpp).
#pragma once

#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/records.h"
#include "image/kvx_image.h"

namespace rivo::page_detail {

bool ContainsPart(const std::string& name, const char* part);

// The modules whose name contains part, in image order, keeping only the first module of
// each name (names compared without regard to case).
std::vector<KvxModule*> DistinctModules(KvxImage& image, const char* part);

// Where a split channel module stands in the channel list: "TCS" is block 0, a name
// whose fourth character is a digit d is block d; -1 when the name says neither.
int SplitBlock(const std::string& name);

// Split modules are read in the order of their block, whatever their order in the
// image, so that reading puts each channel where saving will write it. Modules that name
// no block come last (saving refuses them).
void OrderSplitModules(std::vector<KvxModule*>& modules);

// A copy of the content of a module's first entry (decoded when packed); empty without
// entries. A copy, because the entry refills its content buffer at every request.
Bytes FirstEntryContent(KvxModule* module);

// "Lista1.pre" .. "Lista8.pre" -> 1..8; 0 for any other name.
int FavouriteListNumber(const std::string& name);

TransponderContext ContextOf(const ListPage& page);

}  // namespace rivo::page_detail
