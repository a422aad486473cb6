#include "app/image_options.h"

namespace tavro {

namespace {
ImageWriter g_writer = nullptr;
}

void SetImageWriter(ImageWriter writer) { g_writer = writer; }
ImageWriter GetImageWriter() { return g_writer; }

}  // namespace tavro
