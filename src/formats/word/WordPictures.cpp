#include "formats/word/WordPictures.h"

#include "formats/word/WordOfficeArt.h"
#include "formats/word/WordPicf.h"

namespace quillane {

namespace {

// Windows mapping modes, from text (1) to anisotropic (8).
bool IsMetafileMode(int32_t mode) { return mode >= 1 && mode <= 8; }

}  // namespace

std::optional<TImportedPicture> ReadWordPicture(uint32_t location, TWordDataStream& data, TWordGeneration generation) {
    const TByteView* stream = data.Bytes();
    if (stream == nullptr) {
        return std::nullopt;
    }
    const auto picf = ParseWordPicf(*stream, location);
    if (!picf) {
        return std::nullopt;
    }
    std::optional<TImportedPicture> picture;
    if (IsMetafileMode(picf->MappingMode)) {
        if (picf->Data.Size() != 0) {
            picture.emplace();
            picture->Kind = TImportedPictureKind::Wmf;
            picture->MappingMode = picf->MappingMode;
            picture->Width = picf->XExtent;
            picture->Height = picf->YExtent;
            picture->Data.assign(reinterpret_cast<const char*>(picf->Data.Data()), picf->Data.Size());
        }
    } else if (generation == TWordGeneration::Word97 && picf->MappingMode != PicfModeTiff &&
               picf->MappingMode != PicfModeBitmap) {
        TByteView records = picf->Data;
        if (picf->MappingMode == PicfModeShapeFile) {
            // The linked file's name (a length byte and the characters)
            // comes before the records.
            records = records.From(uint64_t{1} + records.U8(0));
        }
        picture = FindOfficeArtPicture(records);
    }
    if (picture) {
        picture->GoalWidth = picf->GoalWidth;
        picture->GoalHeight = picf->GoalHeight;
        picture->ScaleX = picf->ScaleX;
        picture->ScaleY = picf->ScaleY;
    }
    return picture;
}

}  // namespace quillane
