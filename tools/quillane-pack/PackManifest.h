#pragma once
// The packer's manifest: one payload file a line, fields separated by tabs,
//   SOURCE <tab> NAME [<tab> FLAGS]
// SOURCE relative to the manifest's folder unless absolute; NAME the path
// inside the payload (ASCII, backslashes or slashes between folders; stored
// with backslashes); FLAGS a comma-separated list: "text" gives the file CR
// LF line ends, which the Windows edit controls showing it need. Empty
// lines and lines starting with '#' are skipped. The files go into the
// payload in the manifest's order.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "setup/PayloadWriter.h"

namespace quillane {

struct TPackItem {
    std::filesystem::path Source;
    std::string Name;
    bool Text = false;
};

// Throws std::runtime_error naming the line of a malformed entry, a
// non-ASCII name or an unknown flag.
std::vector<TPackItem> ParsePackManifest(const std::string& text, const std::filesystem::path& folder);

// LF line ends become CR LF; CR LF stays as it is.
std::string WithCrLf(const std::string& text);

// The payload inputs of the items: their bytes (converted where marked) and
// times, from `epoch` (seconds since 1970, UTC) when given, else from each
// source's last-write time; the calendar time in UTC becomes the payload
// time, so a build is the same wherever it runs. Throws on unreadable files.
std::vector<TPayloadInput> ReadPackItems(const std::vector<TPackItem>& items, const int64_t* epoch);

// The whole output: the image followed by its payload. Throws when the
// image already carries one or the payload breaks a rule.
std::string PackImage(const std::string& image, const std::vector<TPayloadInput>& inputs);

}  // namespace quillane
