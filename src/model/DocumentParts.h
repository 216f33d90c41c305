#pragma once
// What a visible document hands to the program around it: its window, the
// reflow manager and the undo manager. The view and editing subsystems
// implement these; a hidden document (templates, clipboard conversions,
// the converter) has none of them.

#include <cstdint>
#include <memory>

namespace quillane {

class TDocument;
class TParagraph;

class TDocumentWindow {
public:
    virtual ~TDocumentWindow() = default;
    // Shows " Modified" (or clears it) when this window is the active one
    // and the main window is in its normal state.
    virtual void ShowModified(bool modified) = 0;
};

class TReflowManager {
public:
    virtual ~TReflowManager() = default;
    // Queues a changed paragraph (by index) for layout after the user pauses.
    virtual void Queue(int32_t paragraph) = 0;
};

class TUndoManager {
public:
    virtual ~TUndoManager() = default;
};

// The size of an embedded picture or object as layout needs it: the extent
// in twips and the scales in percent. The document's object registry
// answers; an unknown id has no extent.
struct TObjectExtent {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t ScaleX = 100;
    int32_t ScaleY = 100;
};

class TObjectExtents {
public:
    virtual ~TObjectExtents() = default;
    // kind is the tag kind (picture or object), id the tag's value.
    virtual bool Extent(uint8_t kind, int32_t id, TObjectExtent& extent) const = 0;
};

// Lays out a paragraph into lines (the line layout implements it).
class TLineLayouter {
public:
    virtual ~TLineLayouter() = default;
    virtual void LayOut(TParagraph& paragraph) = 0;
};

// Makes the parts of a visible document when it is created.
class TDocumentHost {
public:
    virtual ~TDocumentHost() = default;
    virtual std::unique_ptr<TDocumentWindow> CreateWindow(TDocument& document) = 0;
    virtual std::unique_ptr<TReflowManager> CreateReflowManager(TDocument& document) = 0;
    virtual std::unique_ptr<TUndoManager> CreateUndoManager(TDocument& document) = 0;
};

}  // namespace quillane
