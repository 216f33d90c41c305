// Surfaces saved as BMP files: Windows reads them without any encoder.
#include <algorithm>
#include <stdexcept>

#include "platform/BmpImage.h"
#include "platform/Canvas.h"
#include "platform/File.h"

namespace quillane {

const char* SurfaceImageExtension() { return "bmp"; }

void WriteSurfaceImage(TSurface& surface, const std::string& path) {
    const std::string bytes = EncodeBmp(surface.Pixels());
    if (bytes.empty()) {
        throw std::runtime_error("canvas: the surface has no pixels to write");
    }
    TFileOpenResult opened = OpenFile(path, TFileMode::CreateAlways);
    if (!opened.File) {
        throw std::runtime_error("cannot write \"" + path + "\": " + opened.Message);
    }
    size_t written = 0;
    while (written < bytes.size()) {
        const int32_t count = static_cast<int32_t>(std::min<size_t>(bytes.size() - written, 1 << 20));
        if (!opened.File->Write(bytes.data() + written, count)) {
            throw std::runtime_error("cannot write \"" + path + "\"");
        }
        written += static_cast<size_t>(count);
    }
}

}  // namespace quillane
