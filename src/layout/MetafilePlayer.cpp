#include "layout/MetafilePlayer.h"

#include "layout/MetafileDevice.h"
#include "layout/MetafilePlayers.h"
#include "platform/CanvasGeometry.h"

namespace quillane {

bool PlayMetafilePortably(TCanvas& canvas, TFontSystem* fonts, const TMetafileView& metafile, const TRect& dest) {
    if (metafile.Bits == nullptr || metafile.Size == 0 || !IsDrawable(dest)) {
        return false;
    }
    const TByteSpan bits(metafile.Bits, metafile.Size);
    TMetafileDevice device(canvas, fonts, dest);
    return metafile.Windows ? PlayWindowsMetafile(device, bits, metafile) : PlayEnhancedMetafile(device, bits, dest);
}

}  // namespace quillane
