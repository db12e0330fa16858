// The catalogue every Tr() reads; null while the programs speak Italian.
#pragma once

namespace rivo {
class Catalogue;
const Catalogue* CurrentCatalogue();
}  // namespace rivo
