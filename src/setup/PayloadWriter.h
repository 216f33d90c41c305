#pragma once
// Builds a payload (see PayloadFormat.h) to append to a program image: each
// file deflated at level 9 into its own zlib stream, then the deflated
// directory and the trailer. The same input gives the same bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace quillane {

struct TPayloadInput {
    std::string Name;  // UTF-8, backslashes between folders
    std::string Data;
    double Time = 0;   // see PayloadTime.h
};

// The payload for an image of `imageSize` bytes. Throws TPayloadError for a
// name the installer would refuse or Windows-1252 cannot hold, duplicate
// names, a file over 2 GB or a result past the 32-bit offsets.
std::string BuildPayload(uint64_t imageSize, const std::vector<TPayloadInput>& files);

}  // namespace quillane
