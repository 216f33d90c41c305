#include "support/DocCompare.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <sstream>

#include "model/TextStream.h"
#include "pictures/DocObject.h"
#include "pictures/ObjectManager.h"
#include "pictures/PictureError.h"

namespace quillane::test {

namespace {

const char* const CharSlotNames[CharSlotCount] = {"font",      "size",      "bold",      "italic",   "strikeout",
                                                  "underline", "colour",    "highlight", "vertical", "expansion",
                                                  "offset",    "kerning",   "language"};
const char* const ParSlotNames[ParSlotCount] = {
    "first indent", "left indent", "line spacing", "spacing multiple", "right indent",
    "alignment",    "keep with next", "keep together", "page break before", "widow control",
    "space before", "space after", "style",        "tab table",        "bullet"};

std::string Value(int32_t v) { return v == UndefinedAttr ? std::string("unset") : std::to_string(v); }

std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (const unsigned char c : s) {
        if (c < 32 || c >= 127 || c == '"' || c == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// The readable items of a text stream: one per character byte or tag, with
// the character position each starts at.
struct TStreamItem {
    std::string Text;
    int32_t Position = 0;
    int32_t Offset = 0;
};

std::vector<TStreamItem> StreamItems(const TFlexibleString& text) {
    std::vector<TStreamItem> items;
    int32_t position = 0;
    int32_t i = 0;
    while (i < text.Length()) {
        TStreamItem item;
        item.Position = position;
        item.Offset = i;
        const uint8_t c = text[i];
        if (c != 0 || i + TagSize > text.Length()) {
            if (c < 32 || c >= 127) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", c);
                item.Text = hex;
            } else {
                item.Text = std::string(1, static_cast<char>(c));
            }
            ++position;
            ++i;
        } else {
            const TTag tag = ReadTag(text.Data() + i);
            if (tag.Kind == tkSpecial) {
                item.Text = "<" + std::to_string(tag.Value) + ">";
            } else if (tag.Kind == tkPicture || tag.Kind == tkObject) {
                item.Text = std::string(tag.Kind == tkPicture ? "<picture " : "<object ") + std::to_string(tag.Value) + ">";
            } else if (tag.Kind <= tkLastAttribute) {
                item.Text = "[" + std::string(CharSlotNames[tag.Kind]) + "=" + Value(tag.Value) + "]";
            } else {
                item.Text = "[kind " + std::to_string(tag.Kind) + " aux " + std::to_string(tag.Aux) + " =" +
                            std::to_string(tag.Value) + "]";
            }
            position += OccupiesPosition(tag.Kind) ? 1 : 0;
            i += TagSize;
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::string Context(const std::vector<TStreamItem>& items, size_t at) {
    const size_t from = at > 12 ? at - 12 : 0;
    const size_t to = std::min(items.size(), at + 12);
    std::string out;
    for (size_t k = from; k < to; ++k) {
        if (k == at) {
            out += "|";
        }
        out += items[k].Text;
    }
    if (at >= items.size()) {
        out += "|<end>";
    }
    return out;
}

// The canonical stream, with each run of attribute tags in slot order: the
// order of tags within a run changes nothing, and a reader cannot know the
// order in which a writer's words came.
TFlexibleString Normalized(const TParagraph& paragraph) {
    TFlexibleString text = paragraph.Text;
    NormalizeTagStream(text, paragraph.Document().DefaultCharAttrs);
    uint8_t* p = text.Data();
    const int32_t n = text.Length();
    int32_t i = 0;
    while (i < n) {
        if (p[i] != 0 || i + TagSize > n || !IsAttributeKind(p[i + 1])) {
            i += p[i] == 0 && i + TagSize <= n ? TagSize : 1;
            continue;
        }
        int32_t end = i;
        std::vector<std::array<uint8_t, TagSize>> run;
        while (end + TagSize <= n && p[end] == 0 && IsAttributeKind(p[end + 1])) {
            std::array<uint8_t, TagSize> tag;
            std::copy(p + end, p + end + TagSize, tag.begin());
            run.push_back(tag);
            end += TagSize;
        }
        std::stable_sort(run.begin(), run.end(), [](const auto& a, const auto& b) { return a[1] < b[1]; });
        for (size_t k = 0; k < run.size(); ++k) {
            std::copy(run[k].begin(), run[k].end(), p + i + static_cast<int32_t>(k) * TagSize);
        }
        i = end;
    }
    return text;
}

std::string TabTableOf(const TDocument& document, int32_t index) {
    if (index == -1 || index == UndefinedAttr) {
        return index == -1 ? "none" : "unset";
    }
    if (!document.Tabs().ValidIndex(index)) {
        return "invalid index " + std::to_string(index);
    }
    const std::string text = TabTableText(document.Tabs().Table(index));
    return text.empty() ? "none" : text;  // an empty table stops nothing either
}

class TComparer {
public:
    TComparer(const TDocument& a, const TDocument& b, const TDocCompareOptions& options)
        : a_(a), b_(b), options_(options) {}

    std::vector<std::string> Run() {
        Settings();
        Styles();
        Paragraphs();
        Objects();
        return std::move(differences_);
    }

private:
    bool Full() const { return differences_.size() >= options_.MaxDifferences; }
    void Add(const std::string& text) {
        if (differences_.size() < options_.MaxDifferences) {
            differences_.push_back(text);
            if (Full()) {
                differences_.push_back("(further differences left out)");
            }
        }
    }
    template <typename T>
    void Field(const std::string& what, const T& x, const T& y) {
        if (!(x == y)) {
            std::ostringstream s;
            s << what << ": " << x << " vs " << y;
            Add(s.str());
        }
    }
    void Text(const std::string& what, const std::string& x, const std::string& y) {
        if (x != y) {
            Add(what + ": " + Quoted(x) + " vs " + Quoted(y));
        }
    }

    void CharAttrs(const std::string& where, const TCharAttrs& x, const TCharAttrs& y) {
        for (int s = 0; s < CharSlotCount; ++s) {
            if (x[s] != y[s]) {
                Add(where + " " + CharSlotNames[s] + ": " + Value(x[s]) + " vs " + Value(y[s]));
            }
        }
    }
    void ParAttrs(const std::string& where, const TParAttrs& x, const TParAttrs& y) {
        for (int s = 0; s < ParSlotCount; ++s) {
            if (s == paTabTable) {
                const std::string tx = TabTableOf(a_, x[s]);
                const std::string ty = TabTableOf(b_, y[s]);
                if (tx != ty) {
                    Add(where + " tab table: " + tx + " vs " + ty);
                }
            } else if (x[s] != y[s]) {
                Add(where + " " + ParSlotNames[s] + ": " + Value(x[s]) + " vs " + Value(y[s]));
            }
        }
    }

    void Settings() {
        const TPageSettings& pa = a_.PageSettings();
        const TPageSettings& pb = b_.PageSettings();
        Field("paper width", pa.PaperWidth, pb.PaperWidth);
        Field("paper height", pa.PaperHeight, pb.PaperHeight);
        Field("landscape", int{pa.Landscape}, int{pb.Landscape});
        Field("left margin", pa.LeftMargin, pb.LeftMargin);
        Field("right margin", pa.RightMargin, pb.RightMargin);
        Field("top margin", pa.TopMargin, pb.TopMargin);
        Field("bottom margin", pa.BottomMargin, pb.BottomMargin);

        const TDocumentInfo& ia = a_.Information;
        const TDocumentInfo& ib = b_.Information;
        Text("operator", ia.Operator, ib.Operator);
        Text("company", ia.Company, ib.Company);
        Field("creation time", ia.CreationTime, ib.CreationTime);
        Text("title", ia.Properties.Title, ib.Properties.Title);
        Text("subject", ia.Properties.Subject, ib.Properties.Subject);
        Text("author", ia.Properties.Author, ib.Properties.Author);
        Text("keywords", ia.Properties.Keywords, ib.Properties.Keywords);
        Text("comments", ia.Properties.Comments, ib.Properties.Comments);

        CharAttrs("default attributes", a_.DefaultCharAttrs, b_.DefaultCharAttrs);
        Field("default tab interval", a_.Tabs().DefaultInterval(), b_.Tabs().DefaultInterval());
        Field("default language", a_.DefaultLanguage, b_.DefaultLanguage);
        Field("default language coding", a_.DefaultLanguageCoding, b_.DefaultLanguageCoding);
        Field("widow control", int{a_.WidowControl}, int{b_.WidowControl});
        Field("zoom kind", static_cast<int>(a_.View.ZoomKind), static_cast<int>(b_.View.ZoomKind));
        Field("zoom", a_.View.Zoom, b_.View.Zoom);
    }

    void Styles() {
        const TStyleList& la = a_.Styles();
        const TStyleList& lb = b_.Styles();
        Field("style count", la.StyleCount(), lb.StyleCount());
        const int32_t n = std::min(la.StyleCount(), lb.StyleCount());
        for (int32_t i = 0; i < n && !Full(); ++i) {
            const TStyle& x = la.Style(i);
            const TStyle& y = lb.Style(i);
            const std::string where = "style " + std::to_string(i) + " " + Quoted(x.Name);
            Text(where + " name", x.Name, y.Name);
            Field(where + " based on", x.BasedOn, y.BasedOn);
            Field(where + " next", x.NextStyle, y.NextStyle);
            Field(where + " hot key", int{x.HotKey}, int{y.HotKey});
            CharAttrs(where, x.CharAttrs, y.CharAttrs);
            ParAttrs(where, x.ParAttrs, y.ParAttrs);
        }
    }

    void Paragraphs() {
        Field("paragraph count", a_.ParagraphCount(), b_.ParagraphCount());
        const int32_t n = std::min(a_.ParagraphCount(), b_.ParagraphCount());
        for (int32_t i = 0; i < n && !Full(); ++i) {
            const TParagraph& x = a_.Paragraph(i);
            const TParagraph& y = b_.Paragraph(i);
            const std::string where = "paragraph " + std::to_string(i);
            ParAttrs(where, x.Attributes, y.Attributes);

            const TFlexibleString tx = Normalized(x);
            const TFlexibleString ty = Normalized(y);
            if (tx.Length() != ty.Length() || !std::equal(tx.Data(), tx.Data() + tx.Length(), ty.Data())) {
                const std::vector<TStreamItem> ix = StreamItems(tx);
                const std::vector<TStreamItem> iy = StreamItems(ty);
                size_t k = 0;
                while (k < ix.size() && k < iy.size() && ix[k].Text == iy[k].Text) {
                    ++k;
                }
                const int32_t position = k < ix.size() ? ix[k].Position : x.PositionCount();
                const int32_t offset = k < ix.size() ? ix[k].Offset : tx.Length();
                Add(where + " text differs at position " + std::to_string(position) + " (byte " +
                    std::to_string(offset) + "): " + Context(ix, k) + "  vs  " + Context(iy, k));
            }
            if (x.PositionCount() != y.PositionCount() ||
                !std::equal(x.Positions.Data(), x.Positions.Data() + x.PositionCount(), y.Positions.Data())) {
                int32_t k = 0;
                while (k < x.PositionCount() && k < y.PositionCount() && x.Positions[k] == y.Positions[k]) {
                    ++k;
                }
                Add(where + " position string differs at " + std::to_string(k) + " (lengths " +
                    std::to_string(x.PositionCount()) + " and " + std::to_string(y.PositionCount()) + ")");
            }
        }
    }

    void Objects() {
        const TObjectManager& ma = a_.Objects();
        const TObjectManager& mb = b_.Objects();
        Field("object count", ma.ObjectCount(), mb.ObjectCount());
        std::set<int32_t> seen;
        for (int32_t i = 0; i < ma.ObjectCount() && !Full(); ++i) {
            const TDocObject& x = ma.Object(i);
            seen.insert(x.Id());
            const TDocObject* y = mb.Find(x.Id());
            const std::string where = "object " + std::to_string(x.Id());
            if (y == nullptr) {
                Add(where + " missing from the second document");
                continue;
            }
            Object(where, x, *y);
        }
        for (int32_t i = 0; i < mb.ObjectCount() && !Full(); ++i) {
            if (!seen.contains(mb.Object(i).Id())) {
                Add("object " + std::to_string(mb.Object(i).Id()) + " missing from the first document");
            }
        }
    }

    void Object(const std::string& where, const TDocObject& x, const TDocObject& y) {
        Field(where + " is an OLE object", x.IsOLEObject(), y.IsOLEObject());
        Field(where + " width", x.Width, y.Width);
        Field(where + " height", x.Height, y.Height);
        Field(where + " horizontal scale", x.HorizontalScale, y.HorizontalScale);
        Field(where + " vertical scale", x.VerticalScale, y.VerticalScale);
        const TDocObjectImage& ia = x.Image();
        const TDocObjectImage& ib = y.Image();
        // A metafile made of a bitmap has nothing to compare the pixels
        // with, without a platform to play it.
        if (!options_.BitmapsMayBecomeMetafiles || ia.Kind() != TImageKind::Bitmap ||
            ib.Kind() != TImageKind::Metafile) {
            Image(where, ia, ib);
        }
        if (x.IsOLEObject() && y.IsOLEObject()) {
            const auto& ox = static_cast<const TDocOLEObject&>(x);
            const auto& oy = static_cast<const TDocOLEObject&>(y);
            Field(where + " OLE kind", ox.Kind, oy.Kind);
            Text(where + " class", ox.ClassName, oy.ClassName);
            Text(where + " name", ox.Name, oy.Name);
            if (ox.Data != oy.Data) {
                Add(where + " OLE data differs (" + std::to_string(ox.Data.size()) + " and " +
                    std::to_string(oy.Data.size()) + " bytes)");
            }
        }
    }

    void Image(const std::string& where, const TDocObjectImage& ia, const TDocObjectImage& ib) {
        const auto kindName = [](TImageKind k) { return k == TImageKind::Bitmap ? "bitmap" : "metafile"; };
        Field(where + " image kind", std::string(kindName(ia.Kind())), std::string(kindName(ib.Kind())));
        if (ia.Jpeg != ib.Jpeg) {
            Add(where + " JPEG data differs (" + std::to_string(ia.Jpeg.size()) + " and " +
                std::to_string(ib.Jpeg.size()) + " bytes)");
        }
        if (ia.Kind() == TImageKind::Bitmap && ib.Kind() == TImageKind::Bitmap && options_.ComparePixels) {
            Bitmaps(where, ia, ib);
        } else if (ia.Kind() == TImageKind::Metafile && ib.Kind() == TImageKind::Metafile) {
            Field(where + " is a Windows metafile", ia.WindowsMetafile, ib.WindowsMetafile);
            if (ia.WindowsMetafile && ib.WindowsMetafile) {
                Field(where + " mapping mode", ia.MetafilePict.Mode, ib.MetafilePict.Mode);
                Field(where + " x extent", ia.MetafilePict.XExtent, ib.MetafilePict.XExtent);
                Field(where + " y extent", ia.MetafilePict.YExtent, ib.MetafilePict.YExtent);
            }
            try {
                const TBytes ba = ia.MetafileData();
                const TBytes bb = ib.MetafileData();
                if (ba != bb) {
                    Add(where + " metafile bytes differ (" + std::to_string(ba.size()) + " and " +
                        std::to_string(bb.size()) + " bytes)");
                }
            } catch (const TPictureError& e) {
                Add(where + " metafile not readable: " + e.what());
            }
        }
    }

    void Bitmaps(const std::string& where, const TDocObjectImage& ia, const TDocObjectImage& ib) {
        TBitmap pa;
        TBitmap pb;
        try {
            pa = ia.Pixels();
            pb = ib.Pixels();
        } catch (const TPictureError& e) {
            Add(where + " picture not decodable: " + e.what());
            return;
        }
        if (pa.Width() != pb.Width() || pa.Height() != pb.Height()) {
            Add(where + " pixel size: " + std::to_string(pa.Width()) + "x" + std::to_string(pa.Height()) + " vs " +
                std::to_string(pb.Width()) + "x" + std::to_string(pb.Height()));
            return;
        }
        const std::vector<uint8_t> ra = pa.ToRgba();
        const std::vector<uint8_t> rb = pb.ToRgba();
        if (ra != rb) {
            const size_t at = static_cast<size_t>(std::mismatch(ra.begin(), ra.end(), rb.begin()).first - ra.begin());
            const size_t pixel = at / 4;
            const size_t w = static_cast<size_t>(std::max(pa.Width(), 1));
            Add(where + " pixels differ, first at (" + std::to_string(pixel % w) + ", " + std::to_string(pixel / w) +
                ")");
        }
    }

    const TDocument& a_;
    const TDocument& b_;
    const TDocCompareOptions& options_;
    std::vector<std::string> differences_;
};

}  // namespace

std::vector<std::string> CompareDocuments(const TDocument& a, const TDocument& b, const TDocCompareOptions& options) {
    return TComparer(a, b, options).Run();
}

std::string JoinDifferences(const std::vector<std::string>& differences) {
    std::string out;
    for (const std::string& d : differences) {
        out += "  " + d + "\n";
    }
    return out;
}

std::string TabTableText(const TTabTable& table) {
    static const char Kinds[] = "LCRDB";
    static const char Leaders[] = " .-_";
    std::string out;
    for (int32_t i = 0; i < table.StopCount(); ++i) {
        const TTabStop stop = table.Stop(i);
        if (!out.empty()) {
            out += ' ';
        }
        out += stop.Kind() < 5 ? Kinds[stop.Kind()] : '?';
        out += std::to_string(stop.Position());
        if (stop.Leader() != tlNone) {
            out += stop.Leader() < 4 ? Leaders[stop.Leader()] : '?';
        }
    }
    return out;
}

}  // namespace quillane::test
