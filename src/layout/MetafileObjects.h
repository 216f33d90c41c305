#pragma once
// The drawing objects of a metafile (pens, brushes, fonts) and the table its
// records create them in, select them from and delete them from. Selecting
// copies the object into the device state, so deleting a selected object
// leaves the drawing as it is, as with the system's player.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ColorSystem.h"

namespace quillane {

enum class TMetaPenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null };

struct TMetaPen {
    TMetaPenStyle Style = TMetaPenStyle::Solid;
    double Width = 0;  // logical units; 0 is one pixel whatever the mapping
    TColorValue Color = 0;
};

enum class TMetaBrushStyle { Solid, Null, Hatched };

struct TMetaBrush {
    TMetaBrushStyle Style = TMetaBrushStyle::Solid;
    TColorValue Color = 0xFFFFFF;
};

struct TMetaFont {
    int32_t Height = 0;  // logical units; < 0 character height, > 0 cell height
    int32_t Weight = 400;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int32_t CharSet = 1;
    std::string Face;  // UTF-8
};

struct TMetaObject {
    enum class TKind { Empty, Pen, Brush, Font, Other } Kind = TKind::Empty;
    TMetaPen Pen;
    TMetaBrush Brush;
    TMetaFont Font;
};

inline TMetaObject MetaObjectOf(TMetaObject::TKind kind) {
    TMetaObject object;
    object.Kind = kind;
    return object;
}

// Tables beyond this many entries are not believed (the file's count is
// clamped to it).
constexpr size_t MaxMetaObjects = 1 << 16;

class TMetaObjectTable {
public:
    explicit TMetaObjectTable(size_t size) : objects_(size < MaxMetaObjects ? size : MaxMetaObjects) {}

    // At the lowest free index (Windows metafiles); false when the table is full.
    // The lowest free index is remembered, so filling and emptying a large
    // table costs a pass over it, not one per object.
    bool Add(const TMetaObject& object) {
        while (firstFree_ < objects_.size() && objects_[firstFree_].Kind != TMetaObject::TKind::Empty) {
            ++firstFree_;
        }
        if (firstFree_ >= objects_.size()) {
            return false;
        }
        objects_[firstFree_] = object;
        return true;
    }
    // At the index the record names (enhanced metafiles); ignored outside the table.
    void Put(uint32_t index, const TMetaObject& object) {
        if (index < objects_.size()) {
            objects_[index] = object;
        }
    }
    size_t Size() const { return objects_.size(); }
    const TMetaObject* Get(uint32_t index) const {
        return index < objects_.size() && objects_[index].Kind != TMetaObject::TKind::Empty ? &objects_[index]
                                                                                          : nullptr;
    }
    void Delete(uint32_t index) {
        if (index < objects_.size()) {
            objects_[index] = TMetaObject{};
            firstFree_ = index < firstFree_ ? index : firstFree_;
        }
    }

private:
    std::vector<TMetaObject> objects_;
    size_t firstFree_ = 0;
};

}  // namespace quillane
