#include "support/TestJpeg.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace quillane::test {

TBytes MakeJpeg(int width, int height, J_COLOR_SPACE space, int components, bool progressive) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width * components));
    for (int x = 0; x < width; ++x) {
        for (int c = 0; c < components; ++c) {
            row[static_cast<size_t>(x * components + c)] = static_cast<uint8_t>(x * 255 / std::max(1, width - 1));
        }
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    TBytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

}  // namespace quillane::test
