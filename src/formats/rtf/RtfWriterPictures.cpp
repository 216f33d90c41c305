// Pictures and OLE objects: the picture group with its sizes and data, and
// the object group around an object's data and its result picture.
#include <cmath>

#include "formats/rtf/RtfWriterCore.h"
#include "pictures/DocObject.h"
#include "pictures/DocObjectImage.h"
#include "pictures/MetafileWriter.h"
#include "pictures/PictureError.h"

namespace quillane {

namespace {

// picw and pich are in hundredths of a millimetre.
int64_t HundredthsOfMillimetre(int32_t twips) { return std::llround(twips * 1000.0 * 2.54 / 1440.0); }

}  // namespace

void TRtfWriter::WritePicture(const TDocObject& object) {
    const TDocObjectImage& image = object.Image();
    // The group's kind word (with its parameter for Windows metafiles), the
    // picture's own size in hundredths of a millimetre, and its data.
    TRtfSpecialWord kind = swPngblip;
    int32_t mappingMode = 0;
    int64_t width = HundredthsOfMillimetre(object.Width);
    int64_t height = HundredthsOfMillimetre(object.Height);
    TBytes data;
    try {
        if (image.Kind() == TImageKind::Metafile) {
            // Metafiles keep their own form: drawing one into another format
            // would lose its vectors, and only the platform can draw it.
            data = image.MetafileData();
            if (image.WindowsMetafile) {
                kind = swWmetafile;
                mappingMode = image.MetafilePict.Mode;
                width = image.MetafilePict.XExtent;
                height = image.MetafilePict.YExtent;
            } else {
                kind = swEmfblip;
            }
        } else if (out_.Raw()) {
            kind = image.Jpeg.empty() ? swPngblip : swJpegblip;
            data = image.Jpeg.empty() ? image.PngData() : image.Jpeg;
        } else {
            kind = swWmetafile;
            mappingMode = 8;  // anisotropic: the window stretches over the picture
            data = WindowsMetafileOfBitmap(image.Pixels());
            if (data.empty()) {
                kind = swPngblip;  // too large for a metafile's coordinates
                data = image.PngData();
            }
        }
    } catch (const TPictureError&) {
        data.clear();  // an undecodable picture is written without data
    }

    out_.OpenGroup();
    out_.Destination(dwPict);
    if (kind == swWmetafile) {
        out_.Special(kind, mappingMode);
    } else {
        out_.Special(kind);
    }
    out_.Special(swPicw, width);
    out_.Special(swPich, height);
    out_.Special(swPicwgoal, object.Width);
    out_.Special(swPichgoal, object.Height);
    if (object.HorizontalScale != 100) {
        out_.Special(swPicscalex, object.HorizontalScale);
    }
    if (object.VerticalScale != 100) {
        out_.Special(swPicscaley, object.VerticalScale);
    }
    out_.Hex(data);
    out_.CloseGroup();
}

void TRtfWriter::WriteObject(const TDocObject& object) {
    const auto& ole = static_cast<const TDocOLEObject&>(object);
    static constexpr TRtfSpecialWord Kinds[] = {swObjemb,  swObjemb, swObjlink,  swObjautlink, swObjsub,
                                                swObjpub,  swObjicemb, swObjhtml, swObjocx};
    out_.OpenGroup();
    out_.Destination(dwObject);
    out_.Special(ole.Kind >= 1 && ole.Kind <= 8 ? Kinds[ole.Kind] : swObjemb);
    out_.TextGroup(dwObjclass, ole.ClassName, true);
    out_.TextGroup(dwObjname, ole.Name, true);
    out_.OpenStarred(dwObjdata);
    out_.Hex(ole.Data);
    out_.CloseGroup();
    out_.OpenGroup();
    out_.Destination(dwResult);
    WritePicture(object);
    out_.CloseGroup();
    out_.CloseGroup();
}

}  // namespace quillane
