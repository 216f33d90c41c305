#include "formats/word/WordOfficeArt.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "pictures/PictureError.h"
#include "pictures/PngImage.h"
#include "pictures/Zlib.h"

namespace quillane {

namespace {

constexpr uint64_t RecordHeaderSize = 8;
constexpr uint64_t UidSize = 16;
// A blip-store entry before its name and blip: types, identifier, tag,
// size, references, delay offset, usage, name length and two spare bytes.
constexpr uint64_t BlipStoreEntrySize = 36;
constexpr uint64_t BlipStoreNameLengthAt = 33;
// A metafile blip after its identifiers: uncompressed size, bounds, size
// in EMUs, stored size, compression and filter.
constexpr uint64_t MetafileHeaderSize = 34;
constexpr uint8_t CompressionDeflate = 0;
constexpr uint8_t CompressionNone = 0xFE;
// Deflate cannot give more than about 1032 bytes per input byte, so a
// stored size bounds what inflating may ask for.
constexpr uint64_t MaxDeflateRatio = 1032;
// English metric units per hundredth of a millimetre.
constexpr int32_t EmuPerHundredthMm = 360;

struct TRecord {
    uint16_t Instance = 0;
    uint16_t Type = 0;
    TByteView Contents;
};

// The record at `at`, when its header and its whole contents fit.
std::optional<TRecord> ReadRecord(TByteView bytes, uint64_t at) {
    if (!bytes.Has(at, RecordHeaderSize)) {
        return std::nullopt;
    }
    const uint32_t length = bytes.U32(at + 4);
    if (!bytes.Has(at + RecordHeaderSize, length)) {
        return std::nullopt;
    }
    return TRecord{static_cast<uint16_t>(bytes.U16(at) >> 4), bytes.U16(at + 2),
                   bytes.Sub(at + RecordHeaderSize, length)};
}

std::string ToString(TByteView bytes) { return std::string(reinterpret_cast<const char*>(bytes.Data()), bytes.Size()); }

std::optional<TImportedPicture> ReadMetafileBlip(uint16_t type, TByteView contents, uint64_t at) {
    if (!contents.Has(at, MetafileHeaderSize)) {
        return std::nullopt;
    }
    const uint32_t size = contents.U32(at);
    const int32_t widthEmu = contents.S32(at + 20);
    const int32_t heightEmu = contents.S32(at + 24);
    const uint32_t stored = contents.U32(at + 28);
    const uint8_t compression = contents.U8(at + 32);
    const TByteView data = contents.Sub(at + MetafileHeaderSize, stored);
    if (data.Size() == 0) {
        return std::nullopt;  // empty, or the stored size runs past the record
    }
    TImportedPicture picture;
    if (compression == CompressionDeflate) {
        if (size == 0 || size > MaxBlipMetafileBytes || size > uint64_t{stored} * MaxDeflateRatio) {
            return std::nullopt;
        }
        try {
            const TBytes inflated = Inflate(TByteSpan(data.Data(), data.Size()), size);
            picture.Data.assign(inflated.begin(), inflated.end());
        } catch (const TPictureError&) {
            return std::nullopt;
        }
    } else if (compression == CompressionNone) {
        picture.Data = ToString(data);
    } else {
        return std::nullopt;
    }
    if (type == OfficeArtBlipEmf) {
        picture.Kind = TImportedPictureKind::Emf;
    } else {
        // A Windows metafile without its own size: the blip's size gives
        // the extents of an anisotropic mapping.
        picture.Kind = TImportedPictureKind::Wmf;
        picture.MappingMode = 8;
        picture.Width = std::max(widthEmu, 0) / EmuPerHundredthMm;
        picture.Height = std::max(heightEmu, 0) / EmuPerHundredthMm;
    }
    return picture;
}

}  // namespace

std::optional<TImportedPicture> ReadOfficeArtBlip(uint16_t type, uint16_t instance, TByteView contents) {
    // Each kind has two instance values; the odd one says a second
    // identifier follows the first.
    const uint64_t uids = (instance & 1) != 0 ? 2 : 1;
    switch (type) {
        case OfficeArtBlipEmf:
        case OfficeArtBlipWmf: return ReadMetafileBlip(type, contents, uids * UidSize);
        case OfficeArtBlipJpeg:
        case OfficeArtBlipPng:
        case OfficeArtBlipDib: break;
        default: return std::nullopt;
    }
    // Bitmap blips: the identifiers, a tag byte, then the file's bytes.
    const TByteView data = contents.From(uids * UidSize + 1);
    if (data.Size() == 0) {
        return std::nullopt;
    }
    // PNG data is stored as it is, so it must at least look like PNG.
    if (type == OfficeArtBlipPng &&
        (!data.Has(0, sizeof PngSignature) || !std::equal(std::begin(PngSignature), std::end(PngSignature), data.Data()))) {
        return std::nullopt;
    }
    TImportedPicture picture;
    picture.Data = ToString(data);
    if (type == OfficeArtBlipJpeg) {
        picture.Kind = TImportedPictureKind::Jpeg;
    } else {
        picture.Kind = type == OfficeArtBlipPng ? TImportedPictureKind::Png : TImportedPictureKind::Dib;
    }
    return picture;
}

std::optional<TImportedPicture> FindOfficeArtPicture(TByteView records) {
    uint64_t at = 0;
    while (const auto record = ReadRecord(records, at)) {
        at += RecordHeaderSize + record->Contents.Size();
        if (record->Type != OfficeArtBlipStoreEntry) {
            continue;  // the shape container and anything else are passed whole
        }
        const TByteView entry = record->Contents;
        if (!entry.Has(0, BlipStoreEntrySize)) {
            continue;
        }
        // An entry may hold no blip (it then lives in a delay stream).
        const auto blip = ReadRecord(entry, BlipStoreEntrySize + entry.U8(BlipStoreNameLengthAt));
        if (!blip) {
            continue;
        }
        if (auto picture = ReadOfficeArtBlip(blip->Type, blip->Instance, blip->Contents)) {
            return picture;
        }
    }
    return std::nullopt;
}

}  // namespace quillane
