#include "formats/DocumentPictureSink.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "model/Document.h"
#include "model/TextStream.h"
#include "pictures/Dib.h"
#include "pictures/DocObject.h"
#include "pictures/ObjectManager.h"
#include "pictures/PictureError.h"
#include "pictures/PngHeader.h"

namespace quillane {

namespace {

constexpr int32_t MaxScale = 5000;  // percent

std::unique_ptr<TDocPicture> MakePicture(TImportedPicture& picture) {
    TBytes bytes(picture.Data.begin(), picture.Data.end());
    picture.Data.clear();
    switch (picture.Kind) {
        case TImportedPictureKind::Png:
            TPngHeader::OfFile(bytes);  // a header no decoder accepts is refused now, not when drawn
            return MakePngPicture(std::move(bytes));
        case TImportedPictureKind::Jpeg:
            return MakeJpegPicture(bytes);  // kept as JPEG data
        case TImportedPictureKind::Dib:
            return MakePngPicture(DibToPng(bytes));
        case TImportedPictureKind::Emf:
            return MakeMetafilePicture(std::move(bytes), std::nullopt);
        case TImportedPictureKind::Wmf: {
            // picw and pich of a Windows metafile are its extents in
            // hundredths of a millimetre.
            const TMetafilePictHeader header{picture.MappingMode != 0 ? picture.MappingMode : 8, picture.Width,
                                             picture.Height};
            return MakeMetafilePicture(std::move(bytes), header);
        }
        default:
            return nullptr;
    }
}

void ApplyFileSize(TDocObject& object, const TImportedPicture& picture) {
    if (picture.GoalWidth > 0 && picture.GoalHeight > 0) {
        object.Width = picture.GoalWidth;
        object.Height = picture.GoalHeight;
    }
    object.HorizontalScale = std::clamp(picture.ScaleX > 0 ? picture.ScaleX : 100, 1, MaxScale);
    object.VerticalScale = std::clamp(picture.ScaleY > 0 ? picture.ScaleY : 100, 1, MaxScale);
}

void Place(TParagraph& paragraph, uint8_t kind, uint8_t code, int32_t id) {
    paragraph.Text.AppendTag(kind, id);
    paragraph.Positions.AppendByte(code);
    paragraph.TextChanged();
}

}  // namespace

bool TDocumentPictureSink::AddPicture(TDocument& document, TParagraph& paragraph, TImportedPicture&& picture) {
    std::unique_ptr<TDocPicture> made;
    try {
        made = MakePicture(picture);
    } catch (const TPictureError&) {
        return false;  // undecodable data: dropped, and the document says so
    }
    if (!made) {
        return false;
    }
    ApplyFileSize(*made, picture);
    const int32_t id = document.Objects().AddObject(std::move(made));
    Place(paragraph, tkPicture, spPicture, id);
    return true;
}

bool TDocumentPictureSink::AddObject(TDocument& document, TParagraph& paragraph, TImportedObject&& object) {
    if (!object.Picture) {
        return false;  // an object without a result picture has nothing to show
    }
    TImportedPicture& picture = *object.Picture;
    TBytes bytes(picture.Data.begin(), picture.Data.end());
    std::unique_ptr<TDocObjectImage> image;
    try {
        switch (picture.Kind) {
            case TImportedPictureKind::Png:
                TPngHeader::OfFile(bytes);
                image = TDocObjectImage::FromPng(std::move(bytes));
                break;
            case TImportedPictureKind::Jpeg: image = TDocObjectImage::FromJpeg(std::move(bytes)); break;
            case TImportedPictureKind::Dib: image = TDocObjectImage::FromPng(DibToPng(bytes)); break;
            case TImportedPictureKind::Emf: image = TDocObjectImage::FromMetafile(std::move(bytes), std::nullopt); break;
            case TImportedPictureKind::Wmf:
                image = TDocObjectImage::FromMetafile(
                    std::move(bytes),
                    TMetafilePictHeader{picture.MappingMode != 0 ? picture.MappingMode : 8, picture.Width, picture.Height});
                break;
            default: return false;
        }
    } catch (const TPictureError&) {
        return false;
    }
    auto made = std::make_unique<TDocOLEObject>(std::move(image));
    made->Width = object.Width > 0 ? object.Width : picture.GoalWidth;
    made->Height = object.Height > 0 ? object.Height : picture.GoalHeight;
    ApplyFileSize(*made, picture);
    made->Data.assign(object.Data.begin(), object.Data.end());
    made->Kind = object.Kind;
    made->ClassName = std::move(object.ClassName);
    made->Name = std::move(object.Name);
    const int32_t id = document.Objects().AddObject(std::move(made));
    Place(paragraph, tkObject, spObject, id);
    return true;
}

}  // namespace quillane
