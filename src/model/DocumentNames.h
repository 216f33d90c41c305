#pragma once
// Names for documents that have none yet: "DocNN.ext" for a new document,
// and a name proposed from the document's own first words.

#include <cstdint>
#include <functional>
#include <string>

namespace quillane {

class TDocument;

// "Doc" + the two-digit counter + "." + extension inside `folder`. The
// counter (a persistent option) runs 1..99 and wraps to 1; names already
// open are skipped.
std::string NewDocumentName(int32_t& counter, const std::string& folder, const std::string& extension,
                            const std::function<bool(const std::string&)>& isOpen);

// A file name from the text of the first paragraph that has some: cut to 100
// characters, characters a file name cannot hold replaced, spaces trimmed,
// and the fallback's extension appended. The fallback when no paragraph has
// text.
std::string NameFromText(const TDocument& document, const std::string& fallback, bool keepLong);

// Characters no file name may hold (and the control characters below 32).
bool IsFileNameInvalid(uint8_t c);
constexpr char FileNameReplacement = '_';

}  // namespace quillane
