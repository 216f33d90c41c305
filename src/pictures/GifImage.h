#pragma once
// GIF pictures (87a and 89a, read only). Loading parses every frame and keeps
// its compressed data; a frame is decoded into a bitmap when asked for.
// Only the first frame is ever shown or stored: animation is not played.
//
// Transparency is by palette index: the frame's transparent entry gets alpha
// 0 and any other entry of the same colour stays opaque.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"
#include "pictures/PictureError.h"

namespace quillane {

struct TGifFrame {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool Interlaced = false;
    // The file ended inside the frame's data: what is there still decodes.
    bool Truncated = false;
    bool OwnColorTable = false;
    // The frame's colours (its own table or a copy of the global one); empty
    // when the file has neither, and the frame is shown in greys.
    std::vector<TPaletteEntry> ColorTable;
    std::optional<uint8_t> TransparentIndex;  // only an index inside the table
    uint32_t DelayMilliseconds = 0;
    uint8_t Disposal = 0;
    // The LZW minimum code size, then the data of the sub-blocks joined.
    TBytes Data;
};

class TGIFImage {
public:
    // Reads a GIF file. Throws TPictureError for a wrong signature or
    // version, or for a screen descriptor, colour table, extension or image
    // descriptor cut short before the first frame is complete (after it, the
    // frames read so far are kept and parsing ends), and for an unknown
    // byte where the first block should start (after a frame it ends the
    // parse). Zero bytes after an image are skipped; a zero elsewhere ends
    // the parse like the trailer. Extensions of unknown labels are skipped.
    // A file without frames loads as an empty picture.
    // On failure the picture is left as it was.
    void LoadFromBytes(TByteSpan data);

    bool Empty() const { return frames_.empty(); }
    const std::vector<TGifFrame>& Frames() const { return frames_; }
    int32_t ScreenWidth() const { return screenWidth_; }
    int32_t ScreenHeight() const { return screenHeight_; }
    // The colour of the background index of the global table, if any.
    std::optional<TPaletteEntry> BackgroundColor() const { return background_; }
    bool Looping() const { return looping_; }
    uint16_t RepeatCount() const { return repeatCount_; }  // at most 30000
    const std::vector<std::string>& Comments() const { return comments_; }

    // The first frame's size; 0 for an empty picture.
    int32_t Width() const { return frames_.empty() ? 0 : frames_[0].Width; }
    int32_t Height() const { return frames_.empty() ? 0 : frames_[0].Height; }
    // Whether the first frame has a transparent colour.
    bool Transparent() const { return !frames_.empty() && frames_[0].TransparentIndex.has_value(); }
    std::optional<uint8_t> TransparentIndex() const {
        return frames_.empty() ? std::nullopt : frames_[0].TransparentIndex;
    }

    // A frame at its own size: a 1-, 4- or 8-bit bitmap through the frame's
    // colours (greys without a table), the transparent entry with alpha 0.
    // Throws TPictureError for a frame of size 0 or beyond the bitmap limit,
    // a minimum code size outside 1..11, and data that ends before the
    // frame is complete and before its end code (unless the file itself was
    // cut short: then the pixels decoded so far are kept, the rest index 0).
    TBitmap FrameBitmap(size_t index) const;

    // The picture as it first appears: the first frame placed at its offset
    // on the logical screen (grown to hold the frame where it reaches
    // beyond). What the frame does not cover is transparent. A frame that
    // covers the whole screen comes back as its own bitmap; otherwise the
    // result has 32-bit pixels. Throws as FrameBitmap does, and for an empty
    // picture.
    TBitmap FirstFrameOnScreen() const;

private:
    std::vector<TGifFrame> frames_;
    int32_t screenWidth_ = 0;
    int32_t screenHeight_ = 0;
    std::optional<TPaletteEntry> background_;
    bool looping_ = false;
    uint16_t repeatCount_ = 1;
    std::vector<std::string> comments_;
};

}  // namespace quillane
