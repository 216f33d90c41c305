#pragma once
// The format registry as the dialogs and menus see it: the filters of the
// open and save dialogs, the mapping between a save-dialog filter and a
// format, the savable formats for the "New" menu, and the naming rules
// (default extension, backup name) that depend on formats.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/DocumentFormat.h"

namespace quillane {

class TCodingManager {
public:
    TCodingManager();

    const TDocumentFormatInfo& Format(int32_t index) const { return DocumentFormats[index]; }
    bool Savable(int32_t format) const { return IsValidFormat(format) && DocumentFormats[format].Savable; }
    // Savable formats in index order: the save dialog's filters and the
    // "New" submenu's items (tag MenuTagBase + format).
    const std::vector<int32_t>& SavableFormats() const { return savable_; }
    static constexpr int32_t MenuTagBase = 1000;

    // Every format's filter and "All Files", joined by "|".
    std::string OpenFilter() const;
    // The savable formats' filters, joined by "|".
    std::string SaveFilter() const;
    // A save-dialog filter index (1-based) to its format and back; 0 when
    // there is no such filter or the format cannot be saved.
    int32_t FormatOfSaveFilter(int32_t filterIndex) const;
    int32_t SaveFilterOfFormat(int32_t format) const;

    // A typed name ending in "." loses the dot and gets no extension; a
    // name with an extension keeps it; any other gets the format's.
    static std::string ApplyDefaultExtension(const std::string& name, int32_t format);
    // The name's extension without the dot, from its last component only
    // ("C:\my.docs\letter" has none); empty when it has none.
    static std::string Extension(const std::string& name);
    // The name with its extension (if any) replaced by `extension` (with dot).
    static std::string ReplaceExtension(const std::string& name, const std::string& extension);
    // "<name>.bak", or "<name>.bak_bak" for a file whose extension is "bak".
    static std::string BackupName(const std::string& name);
    // The last component of a name.
    static std::string BaseName(const std::string& name);

private:
    std::vector<int32_t> savable_;
};

}  // namespace quillane
