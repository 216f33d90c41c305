#pragma once
// Pictures and OLE objects embedded in a document. Each sits in a paragraph
// as one character position: a tag of kind 14 (picture) or 15 (object)
// whose value is the object's id in the document's TObjectManager. An
// object has a natural size in twips, two scale factors in percent, and
// owns its image.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "pictures/Bytes.h"
#include "pictures/DocObjectImage.h"
#include "pictures/PictureError.h"

namespace quillane {

class TDocument;

struct TPixelSize {
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const TPixelSize&) const = default;
};

class TDocObject {
public:
    explicit TDocObject(std::unique_ptr<TDocObjectImage> image);
    virtual ~TDocObject() = default;
    TDocObject(const TDocObject&) = delete;
    TDocObject& operator=(const TDocObject&) = delete;

    virtual bool IsOLEObject() const { return false; }
    // Bytes the object occupies: the object and its image's storage.
    virtual int64_t MemorySize() const;

    TDocObjectImage& Image() { return *image_; }
    const TDocObjectImage& Image() const { return *image_; }
    // The tag value that refers to the object; 0 until it is added.
    int32_t Id() const { return id_; }

    // The size on screen: natural size x scale at a zoomed resolution
    // (pixels per inch x zoom / 100), rounded.
    TPixelSize DisplaySize(int32_t zoomedPpi) const;
    // Scales of 100 % at a zoom of 100 %: drawn from the image itself.
    bool NaturalSize(int32_t zoom) const { return HorizontalScale == 100 && VerticalScale == 100 && zoom == 100; }

    TDocument* Document = nullptr;  // the owner, set when added
    int32_t Width = 0;              // twips
    int32_t Height = 0;             // twips
    int32_t HorizontalScale = 100;  // percent
    int32_t VerticalScale = 100;    // percent

private:
    friend class TObjectManager;
    int32_t id_ = 0;
    std::unique_ptr<TDocObjectImage> image_;
};

class TDocPicture final : public TDocObject {
public:
    using TDocObject::TDocObject;
};

// An OLE object: its data exactly as read, so it is written back unchanged,
// and what the readers tell about it. Its image is the picture shown for it.
class TDocOLEObject final : public TDocObject {
public:
    using TDocObject::TDocObject;
    bool IsOLEObject() const override { return true; }
    int64_t MemorySize() const override;

    TBytes Data;
    int32_t Kind = 1;  // 1 embedded, 2 link, 3 automatic link, 4 subscriber, 5 publisher, 6 icon, 7 HTML, 8 control
    std::string ClassName;
    std::string Name;
};

// Pictures as readers make them, sized at 96 pixels per inch or from the
// metafile header (readers override the size when the document gives one).
std::unique_ptr<TDocPicture> MakePngPicture(TBytes png);
// The JPEG data is kept as it is (decoded once, for its size and to refuse
// bad data); throws TPictureError when it cannot be decoded.
std::unique_ptr<TDocPicture> MakeJpegPicture(TByteSpan jpeg);
std::unique_ptr<TDocPicture> MakeMetafilePicture(TBytes bits, std::optional<TMetafilePictHeader> windowsMetafile);
std::unique_ptr<TDocPicture> MakeBitmapPicture(TBitmap bitmap);

}  // namespace quillane
