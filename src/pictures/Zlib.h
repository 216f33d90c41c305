#pragma once
// One-shot zlib compression for stored picture data (packed metafiles,
// whose uncompressed size is kept beside them). Inflating is bounded by the
// size the caller expects, so a small stream cannot unpack into an
// unbounded amount of memory.

#include <cstddef>

#include "pictures/Bytes.h"
#include "pictures/PictureError.h"

namespace quillane {

// zlib's default level (6).
constexpr int DefaultCompressionLevel = -1;

TBytes Deflate(TByteSpan data, int level = DefaultCompressionLevel);
// Inflates a complete zlib stream that must give exactly `expectedSize`
// bytes; throws TPictureError for corrupt data, a stream that ends early or
// one that would give more.
TBytes Inflate(TByteSpan compressed, size_t expectedSize);

}  // namespace quillane
