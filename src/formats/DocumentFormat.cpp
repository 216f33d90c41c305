#include "formats/DocumentFormat.h"

namespace quillane {

const TDocumentFormatInfo DocumentFormats[DocumentFormatCount] = {
    {"Rich Text Format", "RTF", "Rich Text Format (*.rtf)|*.rtf", "rtf", true, "Normal.rtf"},
    {"MS Word 6.0/95", "MS Word 6.0", "MS Word 6.0/95 (*.doc)|*.doc", "doc", false, "Normal.rtf"},
    {"MS Word 97/2000", "MS Word 97", "MS Word 97/2000 (*.doc)|*.doc", "doc", false, "Normal.rtf"},
    {"Windows Write", "Windows Write", "Windows Write (*.wri)|*.wri", "wri", false, "Normal.rtf"},
    {"ANSI Plain Text", "ANSI text", "Text Files (*.txt)|*.txt", "txt", true, "Plain.rtf"},
    {"DOS Plain Text", "DOS text", "DOS Text Files (*.txt)|*.txt", "txt", true, "Plain.rtf"},
};

}  // namespace quillane
