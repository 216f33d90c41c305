#pragma once
// The drawing records (OfficeArt) that follow a Word 97/2000 picture
// descriptor: a shape container, then blip-store entries, each of which may
// carry the picture itself (a blip: an enhanced or Windows metafile, JPEG,
// PNG or DIB data). Every record is an 8-byte header (version and instance,
// type, length) and its contents; a length is believed only when it fits
// the record that holds it.

#include <cstdint>
#include <optional>

#include "formats/ImportedPicture.h"
#include "formats/word/WordBytes.h"

namespace quillane {

// Record types.
constexpr uint16_t OfficeArtShapeContainer = 0xF004;
constexpr uint16_t OfficeArtBlipStoreEntry = 0xF007;
constexpr uint16_t OfficeArtBlipEmf = 0xF01A;
constexpr uint16_t OfficeArtBlipWmf = 0xF01B;
constexpr uint16_t OfficeArtBlipJpeg = 0xF01D;
constexpr uint16_t OfficeArtBlipPng = 0xF01E;
constexpr uint16_t OfficeArtBlipDib = 0xF01F;

// Metafile blips larger than this once inflated are not taken.
constexpr uint32_t MaxBlipMetafileBytes = uint32_t{256} << 20;

// The first picture a blip-store entry among the records carries, with its
// data ready for the picture sink (compressed metafiles inflated); nothing
// when there is none, or it is of a kind not read or cannot be unpacked.
std::optional<TImportedPicture> FindOfficeArtPicture(TByteView records);

// One blip record's contents as a picture (exposed for tests).
std::optional<TImportedPicture> ReadOfficeArtBlip(uint16_t type, uint16_t instance, TByteView contents);

}  // namespace quillane
