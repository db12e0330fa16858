// Placeholder so the library configures; replaced by the row primitives.
namespace rivo {}
