#include "pictures/GifImage.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "pictures/GifLzw.h"

namespace quillane {

namespace {

constexpr uint8_t ExtensionIntroducer = 0x21;  // '!'
constexpr uint8_t ImageSeparator = 0x2C;       // ','
constexpr uint8_t Trailer = 0x3B;              // ';'
constexpr uint8_t GraphicControlLabel = 0xF9;
constexpr uint8_t PlainTextLabel = 0x01;
constexpr uint8_t ApplicationLabel = 0xFF;
constexpr uint8_t CommentLabel = 0xFE;
constexpr uint16_t MaxRepeatCount = 30000;

// A fixed-size block or a colour table that the file cuts short.
struct TCutShort {};

class TGifInput {
public:
    explicit TGifInput(TByteSpan data) : data_(data) {}

    bool AtEnd() const { return at_ >= data_.size(); }
    void SkipZeros() {
        while (!AtEnd() && data_[at_] == 0) {
            ++at_;
        }
    }
    size_t Left() const { return data_.size() - at_; }
    uint8_t Byte() {
        if (AtEnd()) {
            throw TCutShort{};
        }
        return data_[at_++];
    }
    const uint8_t* Take(size_t n) {
        if (Left() < n) {
            throw TCutShort{};
        }
        const uint8_t* p = data_.data() + at_;
        at_ += n;
        return p;
    }
    // Data sub-blocks up to the zero-length terminator. False when the file
    // ends first; the bytes that are there are still appended.
    bool SubBlocks(std::vector<TBytes>* blocks, TBytes* joined) {
        while (!AtEnd()) {
            const size_t length = data_[at_++];
            if (length == 0) {
                return true;
            }
            const size_t n = std::min(length, Left());
            if (blocks != nullptr) {
                blocks->emplace_back(data_.begin() + static_cast<std::ptrdiff_t>(at_),
                                     data_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
            }
            if (joined != nullptr) {
                joined->insert(joined->end(), data_.begin() + static_cast<std::ptrdiff_t>(at_),
                               data_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
            }
            at_ += n;
            if (n < length) {
                return false;
            }
        }
        return false;
    }

private:
    TByteSpan data_;
    size_t at_ = 0;
};

std::vector<TPaletteEntry> ReadColorTable(TGifInput& in, int bits) {
    const size_t count = size_t{1} << bits;
    const uint8_t* p = in.Take(3 * count);
    std::vector<TPaletteEntry> table(count);
    for (size_t i = 0; i < count; ++i) {
        table[i] = {p[3 * i], p[3 * i + 1], p[3 * i + 2], 255};
    }
    return table;
}

bool EqualNoCase(const uint8_t* p, const char* text) {
    for (size_t i = 0; text[i] != 0; ++i) {
        if (std::tolower(p[i]) != text[i]) {
            return false;
        }
    }
    return true;
}

// What the extensions before an image say about it.
struct TGraphicControl {
    bool Seen = false;
    uint8_t Packed = 0;
    uint16_t Delay = 0;
    uint8_t TransparentIndex = 0;
};

int BitsFor(size_t levels) {
    int bits = 1;
    while ((size_t{1} << bits) < levels && bits < 8) {
        ++bits;
    }
    return bits;
}

}  // namespace

void TGIFImage::LoadFromBytes(TByteSpan data) {
    TGifInput in(data);
    TGIFImage image;
    std::vector<TPaletteEntry> globalTable;
    try {
        const uint8_t* signature = in.Take(6);
        if (!EqualNoCase(signature, "gif") || !(EqualNoCase(signature + 3, "87a") || EqualNoCase(signature + 3, "89a"))) {
            throw TPictureError("not a GIF picture");
        }
        const uint8_t* screen = in.Take(7);
        image.screenWidth_ = ReadLittleEndian16(screen);
        image.screenHeight_ = ReadLittleEndian16(screen + 2);
        if ((screen[4] & 0x80) != 0) {
            globalTable = ReadColorTable(in, (screen[4] & 7) + 1);
            if (screen[5] < globalTable.size()) {
                image.background_ = globalTable[screen[5]];
            }
        }
    } catch (const TCutShort&) {
        throw TPictureError("GIF header is cut short");
    }

    TGraphicControl control;
    try {
        while (!in.AtEnd()) {
            const uint8_t introducer = in.Byte();
            if (introducer == Trailer || introducer == 0) {
                break;
            }
            if (introducer == ExtensionIntroducer) {
                const uint8_t label = in.Byte();
                // Every extension is a run of sub-blocks, the first of
                // them the fixed block of the known labels; its own size
                // byte says how long it is.
                std::vector<TBytes> blocks;
                in.SubBlocks(&blocks, nullptr);
                if (label == GraphicControlLabel && !blocks.empty() && blocks[0].size() >= 4) {
                    control.Seen = true;
                    control.Packed = blocks[0][0];
                    control.Delay = ReadLittleEndian16(blocks[0].data() + 1);
                    control.TransparentIndex = blocks[0][3];
                } else if (label == PlainTextLabel) {
                    control = {};  // the control belonged to the text
                } else if (label == ApplicationLabel && blocks.size() >= 2 && blocks[0].size() == 11 &&
                           (std::memcmp(blocks[0].data(), "NETSCAPE2.0", 11) == 0 ||
                            std::memcmp(blocks[0].data(), "ANIMEXTS1.0", 11) == 0) &&
                           blocks[1].size() >= 3 && blocks[1][0] == 1) {
                    image.looping_ = true;
                    image.repeatCount_ = std::min(ReadLittleEndian16(blocks[1].data() + 1), MaxRepeatCount);
                } else if (label == CommentLabel) {
                    std::string text;
                    for (const TBytes& block : blocks) {
                        text.append(block.begin(), block.end());
                    }
                    image.comments_.push_back(std::move(text));
                }
                continue;
            }
            if (introducer != ImageSeparator) {
                if (image.frames_.empty()) {
                    throw TPictureError("GIF picture holds an unknown block");
                }
                break;  // trailing bytes after the frames are ignored
            }
            const uint8_t* descriptor = in.Take(9);
            TGifFrame frame;
            frame.Left = ReadLittleEndian16(descriptor);
            frame.Top = ReadLittleEndian16(descriptor + 2);
            frame.Width = ReadLittleEndian16(descriptor + 4);
            frame.Height = ReadLittleEndian16(descriptor + 6);
            frame.Interlaced = (descriptor[8] & 0x40) != 0;
            if ((descriptor[8] & 0x80) != 0) {
                frame.ColorTable = ReadColorTable(in, (descriptor[8] & 7) + 1);
                frame.OwnColorTable = true;
            } else {
                frame.ColorTable = globalTable;
            }
            frame.Data.push_back(in.Byte());
            frame.Truncated = !in.SubBlocks(nullptr, &frame.Data);
            if (frame.Width == 0) {
                frame.Width = image.screenWidth_;
            }
            if (frame.Height == 0) {
                frame.Height = image.screenHeight_;
            }
            if (control.Seen) {
                if ((control.Packed & 1) != 0 && control.TransparentIndex < frame.ColorTable.size()) {
                    frame.TransparentIndex = control.TransparentIndex;
                }
                frame.DelayMilliseconds = uint32_t{control.Delay} * 10;
                frame.Disposal = static_cast<uint8_t>((control.Packed >> 2) & 7);
            }
            control = {};
            image.frames_.push_back(std::move(frame));
            if (image.frames_.back().Truncated) {
                break;
            }
            // Some writers pad between blocks after an image.
            in.SkipZeros();
        }
    } catch (const TCutShort&) {
        if (image.frames_.empty()) {
            throw TPictureError("GIF picture is cut short before its first image");
        }
    }
    *this = std::move(image);
}

TBitmap TGIFImage::FrameBitmap(size_t index) const {
    if (index >= frames_.size()) {
        throw TPictureError("GIF picture has no such frame");
    }
    const TGifFrame& frame = frames_[index];
    const int codeSize = frame.Data.empty() ? 0 : frame.Data[0];
    if (codeSize < 1 || codeSize > 11) {
        throw TPictureError("GIF frame has an impossible code size");
    }
    if (frame.Width == 0 || frame.Height == 0) {
        throw TPictureError("GIF frame has no pixels");
    }
    const TByteSpan codes = TByteSpan(frame.Data).subspan(1);
    if (codes.empty() && !frame.Truncated) {
        throw TPictureError("GIF frame has no image data");
    }
    std::vector<TPaletteEntry> palette = frame.ColorTable;
    if (palette.empty()) {
        // No colours anywhere in the file: a ramp of greys over the values
        // the code size allows.
        const size_t levels = size_t{1} << std::min(codeSize, 8);
        for (size_t i = 0; i < levels; ++i) {
            const auto grey = static_cast<uint8_t>(i * 255 / (levels - 1));
            palette.push_back({grey, grey, grey, 255});
        }
    }
    if (frame.TransparentIndex && *frame.TransparentIndex < palette.size()) {
        palette[*frame.TransparentIndex].Alpha = 0;
    }
    // Wide enough for every colour and every root value the codes can carry.
    const int bits = BitsFor(std::max(palette.size(), size_t{1} << std::min(codeSize, 8)));
    TBitmap bitmap(frame.Width, frame.Height, bits == 1 ? 1 : bits <= 4 ? 4 : 8);
    bitmap.Palette = std::move(palette);
    const TGifLzwResult result = DecodeGifLzw(codes, codeSize, frame.Interlaced, bitmap);
    if (result == TGifLzwResult::EndOfData && !frame.Truncated) {
        throw TPictureError("GIF image data ends before its end code");
    }
    return bitmap;
}

TBitmap TGIFImage::FirstFrameOnScreen() const {
    if (frames_.empty()) {
        throw TPictureError("GIF picture holds no image");
    }
    const TGifFrame& f = frames_[0];
    const int64_t right = int64_t{f.Left} + f.Width;
    const int64_t bottom = int64_t{f.Top} + f.Height;
    const auto width = static_cast<int32_t>(std::max<int64_t>(screenWidth_, right));
    const auto height = static_cast<int32_t>(std::max<int64_t>(screenHeight_, bottom));
    const bool covers = f.Left == 0 && f.Top == 0 && width == f.Width && height == f.Height;
    // The screen's size is refused before the frame is decoded.
    const int64_t stride = TBitmap::StrideFor(width, 32);
    if (!covers && (stride < 0 || stride * height > TBitmap::MaxPixelBytes)) {
        throw TPictureError("GIF screen is too large");
    }
    TBitmap frame = FrameBitmap(0);
    if (covers) {
        return frame;
    }
    TBitmap screen(width, height, 32);  // all transparent
    for (int32_t y = 0; y < f.Height; ++y) {
        uint8_t* row = screen.Row(f.Top + y) + 4 * static_cast<size_t>(f.Left);
        for (int32_t x = 0; x < f.Width; ++x, row += 4) {
            const TRgba p = frame.PixelAt(x, y);
            row[0] = p.Blue;
            row[1] = p.Green;
            row[2] = p.Red;
            row[3] = p.Alpha;
        }
    }
    return screen;
}

}  // namespace quillane
