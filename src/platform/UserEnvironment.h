#pragma once
// What the options take their defaults from: the primary screen's size, the
// user's measurement system and documents folder, and path conventions.

#include <cstdint>
#include <string>
#include <string_view>

// PathSeparator() comes with the file system seam.
#include "platform/FileSystem.h"

namespace quillane {

struct TScreenSize {
    int32_t Width = 0;
    int32_t Height = 0;
};

// The primary monitor in pixels. POSIX has no one screen to ask from a
// console program: 1024 x 768 unless QUILLANE_SCREEN_SIZE says "WxH".
TScreenSize PrimaryScreenSize();

// True when the user's locale measures in metric units.
bool UserLocaleIsMetric();

// The user's documents folder without a trailing separator (Windows: the
// personal folder; POSIX: the XDG documents folder, else $HOME).
std::string UserDocumentsFolder();

// The user's default language identifier (a Windows LANGID; POSIX: from
// LANG's language and territory where known, else U.S. English).
uint16_t UserDefaultLanguage();

// Whether two paths name the same file by their text: without regard to
// case on Windows, exactly on POSIX.
bool SamePathText(std::string_view a, std::string_view b);

}  // namespace quillane
