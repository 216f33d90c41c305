#pragma once
// A bitmap as a Windows metafile: one record that stretches a 24-bit
// device-independent bitmap over the metafile's window. It is the picture
// form every reader of RTF knows, for files saved without PNG data.

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"

namespace quillane {

// The metafile's logical window is the bitmap's size in pixels; the player
// maps it onto the picture's extents (anisotropic mapping). Transparent
// pixels are blended over white. Empty when a side exceeds the 16-bit
// coordinates of the format.
TBytes WindowsMetafileOfBitmap(const TBitmap& bitmap);

}  // namespace quillane
