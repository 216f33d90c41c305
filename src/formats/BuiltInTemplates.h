#pragma once
// The two templates every installation has, compiled in: "Normal.rtf" (one
// empty paragraph, the default page settings, the master styles) and
// "Plain.rtf" (the same in Courier New at 10 points), which text files
// receive when they are opened.

#include <memory>
#include <string>

#include "formats/FormatServices.h"

namespace quillane {

class TDocument;

// The RTF bytes of a built-in template; empty for an unknown name.
std::string BuiltInTemplateText(const std::string& name);

// The template read into a hidden document; null for an unknown name.
std::unique_ptr<TDocument> LoadBuiltInTemplate(const std::string& name, const TFormatServices& services);

}  // namespace quillane
