#pragma once
// Pictures and OLE objects as the document readers find them (RTF gives
// both, Word documents pictures), before the picture model takes them: the
// kind of data, the sizes and scales the file gives, and the decoded bytes.
// The reader hands each to a sink, which places it in the paragraph or
// refuses it; a refused one is dropped and the document is marked as opened
// with data losses.

#include <cstdint>
#include <optional>
#include <string>

namespace quillane {

class TDocument;
class TParagraph;

// Dib: a packed device-independent bitmap (header, colours, rows).
enum class TImportedPictureKind { None, Emf, Wmf, Png, Jpeg, Dib };

struct TImportedPicture {
    TImportedPictureKind Kind = TImportedPictureKind::None;
    int32_t MappingMode = 0;  // of WMF data
    int32_t Width = 0;        // picw, pich: the picture's own size
    int32_t Height = 0;
    int32_t GoalWidth = 0;    // picwgoal, pichgoal: the display size in twips
    int32_t GoalHeight = 0;
    int32_t ScaleX = 100;     // picscalex, picscaley: percent
    int32_t ScaleY = 100;
    std::string Data;         // decoded (RTF: from hex or \bin)
};

enum TImportedObjectKind : int32_t {
    okEmbedded = 1, okLink = 2, okAutoLink = 3, okSubscriber = 4, okPublisher = 5,
    okIconEmbedded = 6, okHtml = 7, okControl = 8,
};

struct TImportedObject {
    int32_t Kind = okEmbedded;
    int32_t Width = 0;   // objw, objh in twips
    int32_t Height = 0;
    std::string ClassName;
    std::string Name;
    std::string Data;    // objdata, decoded
    std::optional<TImportedPicture> Picture;  // the result picture, when present
};

class TImportedPictureSink {
public:
    virtual ~TImportedPictureSink() = default;
    // Takes the picture or object and appends it to the paragraph (a tag of
    // its kind and its position code); false when it was not kept.
    virtual bool AddPicture(TDocument& document, TParagraph& paragraph, TImportedPicture&& picture) = 0;
    virtual bool AddObject(TDocument& document, TParagraph& paragraph, TImportedObject&& object) = 0;
};

// Keeps nothing: the reader then drops pictures and objects and marks the
// document as opened with data losses.
class TDroppingPictureSink final : public TImportedPictureSink {
public:
    bool AddPicture(TDocument&, TParagraph&, TImportedPicture&&) override { return false; }
    bool AddObject(TDocument&, TParagraph&, TImportedObject&&) override { return false; }
};

}  // namespace quillane
