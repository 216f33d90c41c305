#include "formats/write/WritePicture.h"

namespace quillane {

namespace {

constexpr uint16_t BitmapMode = 0xE3;
constexpr uint16_t ObjectMode = 0xE4;

}  // namespace

TWritePicture ReadWritePicture(TByteView paragraph) {
    TWritePicture result;
    if (!paragraph.Has(0, WritePictureHeaderSize)) {
        return result;
    }
    const uint16_t mode = paragraph.U16(0);
    result.Offset = paragraph.S16(8);
    uint32_t headerSize = paragraph.U16(30);
    // Files of the first Write version leave the header size and the
    // 32-bit data size empty and give the size in 16 bits at 14.
    if (headerSize == 0) {
        headerSize = WritePictureHeaderSize;
    }
    // An object's header keeps its data size at 16.
    uint32_t dataSize = paragraph.U32(mode == ObjectMode ? 16 : 32);
    if (dataSize == 0 && mode != ObjectMode) {
        dataSize = paragraph.U16(14);
    }
    if (headerSize < WritePictureHeaderSize || dataSize == 0 || !paragraph.Has(headerSize, dataSize)) {
        return result;
    }
    result.Size = headerSize + dataSize;
    if (mode == BitmapMode || mode == ObjectMode) {
        return result;
    }
    TImportedPicture picture;
    picture.Kind = TImportedPictureKind::Wmf;
    picture.MappingMode = mode & 0x0F;
    picture.Width = paragraph.S16(2);
    picture.Height = paragraph.S16(4);
    picture.GoalWidth = paragraph.S16(10);
    picture.GoalHeight = paragraph.S16(12);
    picture.ScaleX = paragraph.U16(36) / 10;
    picture.ScaleY = paragraph.U16(38) / 10;
    const uint8_t* data = paragraph.Data() + headerSize;
    picture.Data.assign(reinterpret_cast<const char*>(data), dataSize);
    result.Picture = std::move(picture);
    return result;
}

}  // namespace quillane
