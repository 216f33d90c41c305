#pragma once
// The text listing of a compound file that quillane-storage prints: one
// line per stream, "path<TAB>size<TAB>crc32" (CRC-32 as eight lower-case
// hexadecimal digits), in path order. Control characters, DEL and the
// backslash of a path are written as \xNN so every line is plain text.
// A file that cannot be listed gives one line "error<TAB>kind"; a stream that
// cannot be read, "path<TAB>size<TAB>unreadable". The text is the same on
// every platform for the same file, so outputs can be compared.

#include <iosfwd>
#include <string>

#include "platform/CompoundFile.h"

namespace quillane {

std::string EscapeStreamPath(const std::string& path);
const char* StorageErrorName(TStorageError error);

// Which reader opens the file: the platform's (with the program's own as
// its fallback, as documents are opened), or only the program's own.
enum class TStorageReader { Platform, Own };

// Lists the file into `out`; the platform's wording of errors goes to `err`.
// Returns false when the file could not be opened or listed completely.
bool ListCompoundFile(const std::string& path, std::ostream& out, std::ostream& err,
                      TStorageReader reader = TStorageReader::Platform);

}  // namespace quillane
