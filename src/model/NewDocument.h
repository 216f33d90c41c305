#pragma once
// Prepares a document freshly made from a template for the user.

#include <string>

namespace quillane {

class TDocument;
class TStyleManager;

// Sets the author and operator to the user and the creation time to now;
// gives an empty first paragraph a 10-point size and its paragraph end;
// applies the page settings again so the derived measures are current, and
// imports the master "Normal" style (with what it links to) into the
// document's style list.
void InitNewDocument(TDocument& document, const TStyleManager& styles, const std::string& userName, double now);

}  // namespace quillane
