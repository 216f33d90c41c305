#include "pictures/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include <jpeglib.h>

#include "pictures/PictureError.h"
#include "pictures/PngImage.h"

namespace quillane {

namespace {

// A progressive stream may carry any number of scans, each decoded over the
// whole picture; more than this is an attack, not a photograph.
constexpr int MaxScans = 1000;

// libjpeg's error manager with a way back: error_exit jumps to the setjmp in
// DecodeRaw instead of ending the program.
struct TJpegError {
    jpeg_error_mgr Manager;  // first, so libjpeg's pointer is ours
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

extern "C" void JumpOnError(j_common_ptr info) {
    TJpegError* error = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, error->Message);
    std::longjmp(error->Jump, 1);
}

// Warnings (corrupt data that libjpeg recovers from) are not printed.
extern "C" void KeepQuiet(j_common_ptr) {}

extern "C" void LimitScans(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxScans) {
        TJpegError* error = reinterpret_cast<TJpegError*>(info->err);
        std::snprintf(error->Message, sizeof error->Message, "JPEG stream has more than %d scans", MaxScans);
        std::longjmp(error->Jump, 1);
    }
}

// Where the decoded rows go. Nothing here may throw: it is called between
// the setjmp and libjpeg's frames.
class TJpegTarget {
public:
    virtual ~TJpegTarget() = default;
    // Makes room for the picture; false (with Message set) when it cannot.
    virtual bool Allocate(int32_t width, int32_t height, int components, bool invertedCmyk) noexcept = 0;
    // The buffer libjpeg writes row y into, and the call once it has.
    virtual uint8_t* Row(int32_t y) noexcept = 0;
    virtual void RowDone(int32_t y) noexcept = 0;
    std::string Message;
};

// Only trivially destructible objects live in this frame, since libjpeg
// leaves it by longjmp on any error.
bool DecodeRaw(const uint8_t* data, size_t size, TJpegTarget& target, char* message, size_t messageSize) {
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    TJpegError error;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JumpOnError;
    error.Manager.output_message = KeepQuiet;
    error.Message[0] = 0;
    jpeg_progress_mgr progress;
    std::memset(&progress, 0, sizeof progress);
    progress.progress_monitor = LimitScans;

    if (setjmp(error.Jump) != 0) {
        jpeg_destroy_decompress(&info);
        std::snprintf(message, messageSize, "%s", error.Message);
        return false;
    }
    jpeg_create_decompress(&info);
    info.progress = &progress;
    // No backing store: a picture needing more working memory fails cleanly.
    info.mem->max_memory_to_use = static_cast<long>(TBitmap::MaxPixelBytes);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);

    int components = 3;
    if (info.jpeg_color_space == JCS_GRAYSCALE) {
        info.out_color_space = JCS_GRAYSCALE;
        components = 1;
    } else if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        info.out_color_space = JCS_CMYK;
        components = 4;
    } else {
        info.out_color_space = JCS_EXT_BGR;  // the bitmap's own order
    }
    if (!target.Allocate(static_cast<int32_t>(info.image_width), static_cast<int32_t>(info.image_height),
                         components, info.saw_Adobe_marker != 0)) {
        jpeg_destroy_decompress(&info);
        std::snprintf(message, messageSize, "%s", target.Message.c_str());
        return false;
    }
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        const int32_t y = static_cast<int32_t>(info.output_scanline);
        JSAMPROW row = target.Row(y);
        if (jpeg_read_scanlines(&info, &row, 1) != 1) {
            break;  // cannot happen with a memory source, which never suspends
        }
        target.RowDone(y);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

class TBitmapTarget final : public TJpegTarget {
public:
    bool Allocate(int32_t width, int32_t height, int components, bool invertedCmyk) noexcept override {
        try {
            components_ = components;
            inverted_ = invertedCmyk;
            bitmap_ = TBitmap(width, height, components == 1 ? 8 : 24);
            if (components == 1) {
                bitmap_.Palette.resize(256);
                for (int i = 0; i < 256; ++i) {
                    const auto v = static_cast<uint8_t>(i);
                    bitmap_.Palette[static_cast<size_t>(i)] = TPaletteEntry{v, v, v, 255};
                }
            } else if (components == 4) {
                cmyk_.resize(static_cast<size_t>(width) * 4);
            }
            return true;
        } catch (const std::exception& e) {
            Message = e.what();
            return false;
        }
    }

    uint8_t* Row(int32_t y) noexcept override { return components_ == 4 ? cmyk_.data() : bitmap_.Row(y); }

    void RowDone(int32_t y) noexcept override {
        if (components_ != 4) {
            return;
        }
        // Adobe writes CMYK inverted (0 = full ink); others store ink amounts.
        uint8_t* out = bitmap_.Row(y);
        for (int32_t x = 0; x < bitmap_.Width(); ++x) {
            const uint8_t* p = &cmyk_[static_cast<size_t>(x) * 4];
            int c = p[0], m = p[1], yellow = p[2], k = p[3];
            if (!inverted_) {
                c = 255 - c;
                m = 255 - m;
                yellow = 255 - yellow;
                k = 255 - k;
            }
            out[x * 3] = static_cast<uint8_t>((yellow * k + 127) / 255);
            out[x * 3 + 1] = static_cast<uint8_t>((m * k + 127) / 255);
            out[x * 3 + 2] = static_cast<uint8_t>((c * k + 127) / 255);
        }
    }

    TBitmap Take() { return std::move(bitmap_); }

private:
    TBitmap bitmap_;
    std::vector<uint8_t> cmyk_;
    int components_ = 3;
    bool inverted_ = false;
};

}  // namespace

TBitmap DecodeJpeg(TByteSpan data) {
    if (data.empty() || data.size() > std::numeric_limits<uint32_t>::max()) {
        throw TPictureError("JPEG data is empty or too large");
    }
    TBitmapTarget target;
    char message[JMSG_LENGTH_MAX + 64] = {};
    if (!DecodeRaw(data.data(), data.size(), target, message, sizeof message)) {
        throw TPictureError(std::string("JPEG picture cannot be decoded: ") + message);
    }
    return target.Take();
}

TBytes JpegToPng(TByteSpan data) {
    TPNGImage png;
    png.AssignBitmap(DecodeJpeg(data));
    return png.SaveToBytes();
}

}  // namespace quillane
