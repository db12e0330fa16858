// Placeholder so the library configures; replaced by the image container.
namespace rivo {}
