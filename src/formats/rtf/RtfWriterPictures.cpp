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
    TBytes data;
    int64_t width = HundredthsOfMillimetre(object.Width);
    int64_t height = HundredthsOfMillimetre(object.Height);
    try {
        if (image.Kind() == TImageKind::Metafile) {
            // Metafiles keep their own form: drawing one into another format
            // would lose its vectors, and only the platform can draw it.
            data = image.MetafileData();
        } else if (out_.Raw()) {
            data = image.Jpeg.empty() ? image.PngData() : image.Jpeg;
        } else {
            data = WindowsMetafileOfBitmap(image.Pixels());
            if (data.empty()) {
                data = image.PngData();  // too large for a metafile's coordinates
            }
        }
    } catch (const TPictureError&) {
        data.clear();  // an undecodable picture is written without data
    }

    out_.OpenGroup();
    out_.Destination(dwPict);
    if (image.Kind() == TImageKind::Metafile) {
        if (image.WindowsMetafile) {
            out_.Special(swWmetafile, image.MetafilePict.Mode);
            width = image.MetafilePict.XExtent;
            height = image.MetafilePict.YExtent;
        } else {
            out_.Special(swEmfblip);
        }
    } else if (out_.Raw() || (data.size() >= 8 && data[0] == 0x89)) {
        out_.Special(!image.Jpeg.empty() && out_.Raw() ? swJpegblip : swPngblip);
    } else {
        out_.Special(swWmetafile, 8);
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
