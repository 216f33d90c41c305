#pragma once
// The installer engine's messages ("||" is a line break).

namespace quillane {

constexpr const char* CorruptSetupMessage =
    "This setup file is corrupt. If you downloaded it from the Web, please redownload it.";
constexpr const char* CannotCreateFileMessage =
    "Cannot create file \"%s\".||Another application might already be using this file.";

}  // namespace quillane
