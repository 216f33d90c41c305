#include "editing/TextAccess.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "model/Document.h"
#include "model/Paragraph.h"
#include "model/TextStream.h"

namespace quillane {

int32_t ItemOffset(const TParagraph& p, int32_t position) {
    if (position >= p.PositionCount()) {
        return p.Text.Length();
    }
    return PositionToOffset(p.Text, p.PositionCount(), std::max(position, 0));
}

int32_t OffsetAfterItem(const TParagraph& p, int32_t position) {
    const int32_t offset = ItemOffset(p, position);
    if (offset >= p.Text.Length()) {
        return offset;
    }
    return offset + (p.Text[offset] == 0 ? TagSize : 1);
}

int32_t InsertionOffset(const TParagraph& p, int32_t position) {
    return position <= 0 ? 0 : OffsetAfterItem(p, position - 1);
}

TCharAttrs AttrsOfItem(const TParagraph& p, int32_t position) {
    return AttributesAt(p.Text, ItemOffset(p, position), p.Document().DefaultCharAttrs);
}

TCharAttrs AttrsAtPosition(const TParagraph& p, int32_t position) {
    return AttrsOfItem(p, position > 0 ? position - 1 : 0);
}

int32_t AppendPositionsOf(const uint8_t* bytes, int32_t n, TFlexibleString* positions) {
    int32_t count = 0;
    int32_t i = 0;
    while (i < n) {
        if (bytes[i] != 0) {
            const int32_t run = CharRunLength(bytes + i, n - i);
            if (positions != nullptr) {
                positions->AppendBytes(bytes + i, run);
            }
            count += run;
            i += run;
            continue;
        }
        if (i + TagSize > n) {
            throw std::invalid_argument("text stream: tag cut short");
        }
        const TTag tag = ReadTag(bytes + i);
        if (OccupiesPosition(tag.Kind)) {
            uint8_t code = static_cast<uint8_t>(tag.Value);
            if (tag.Kind == tkPicture) {
                code = spPicture;
            } else if (tag.Kind == tkObject) {
                code = spObject;
            }
            if (positions != nullptr) {
                positions->AppendByte(code);
            }
            ++count;
        }
        i += TagSize;
    }
    return count;
}

void RebuildPositions(TParagraph& p) {
    p.Positions.Clear();
    AppendPositionsOf(p.Text.Data(), p.Text.Length(), &p.Positions);
}

void AppendParAttrs(TFlexibleString& out, const TParAttrs& attrs) {
    for (int slot = 0; slot < ParSlotCount; ++slot) {
        out.AppendInt(attrs[slot]);
    }
}

namespace {

TParAttrs ReadParAttrs(const uint8_t* p) {
    TParAttrs attrs;
    for (int slot = 0; slot < ParSlotCount; ++slot) {
        uint32_t u = 0;
        std::memcpy(&u, p + slot * 4, 4);
        attrs[slot] = static_cast<int32_t>(u);
    }
    return attrs;
}

}  // namespace

std::vector<TFragmentPart> SplitFragment(const TFlexibleString& fragment) {
    std::vector<TFragmentPart> parts;
    const uint8_t* bytes = fragment.Data();
    const int32_t n = fragment.Length();
    TFragmentPart part;
    int32_t i = 0;
    while (i < n) {
        const uint8_t b = bytes[i];
        if (b == 0) {
            if (i + TagSize > n) {
                throw std::invalid_argument("fragment: tag cut short");
            }
            i += TagSize;
        } else if (b == FragmentParagraphEnd) {
            part.Length = i - part.Offset;
            ++i;
            if (i < n && bytes[i] == FragmentAttributes) {
                if (i + 1 + ParAttrsBytes > n) {
                    throw std::invalid_argument("fragment: paragraph attributes cut short");
                }
                part.HasAttributes = true;
                part.Attributes = ReadParAttrs(bytes + i + 1);
                i += 1 + ParAttrsBytes;
            }
            parts.push_back(part);
            part = TFragmentPart{};
            part.Offset = i;
        } else if (b == FragmentAttributes) {
            throw std::invalid_argument("fragment: paragraph attributes outside a paragraph end");
        } else {
            ++i;
        }
    }
    part.Length = n - part.Offset;
    parts.push_back(part);
    return parts;
}

void CollectObjectIds(const uint8_t* bytes, int32_t n, std::vector<int32_t>& ids) {
    int32_t i = 0;
    while (i < n) {
        if (bytes[i] == FragmentAttributes) {
            i += 1 + ParAttrsBytes;  // a paragraph attribute block of a fragment
            continue;
        }
        if (bytes[i] != 0) {
            ++i;
            continue;
        }
        if (i + TagSize > n) {
            return;
        }
        const TTag tag = ReadTag(bytes + i);
        if (tag.Kind == tkPicture || tag.Kind == tkObject) {
            ids.push_back(tag.Value);
        }
        i += TagSize;
    }
}

bool PositionBefore(TTextPosition a, TTextPosition b) {
    return a.Paragraph < b.Paragraph || (a.Paragraph == b.Paragraph && a.Offset < b.Offset);
}

}  // namespace quillane
