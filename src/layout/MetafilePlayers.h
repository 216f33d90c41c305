#pragma once
// The two record players behind PlayMetafilePortably, each driving a device
// set up for the picture's rectangle. False when the bits do not start as
// their kind of metafile.

#include "layout/MetafileDevice.h"

namespace quillane {

bool PlayWindowsMetafile(TMetafileDevice& device, TByteSpan bits, const TMetafileView& view);
bool PlayEnhancedMetafile(TMetafileDevice& device, TByteSpan bits, const TRect& dest);

}  // namespace quillane
