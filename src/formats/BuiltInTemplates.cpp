#include "formats/BuiltInTemplates.h"

#include "formats/DocumentLoader.h"
#include "model/Document.h"

namespace quillane {

namespace {

// No page settings are written: the reader's defaults are the program's.
// The style sheet restates only what "Plain" changes in "Normal"; the
// reader starts from the master list for the rest.
constexpr const char* NormalTemplate = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\\pard\\plain\\par}";
constexpr const char* PlainTemplate =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}"
    "{\\stylesheet{\\f0\\fs20 Normal;}}"
    "\\pard\\plain\\f0\\fs20\\par}";

}  // namespace

std::string BuiltInTemplateText(const std::string& name) {
    if (name == "Normal.rtf") {
        return NormalTemplate;
    }
    if (name == "Plain.rtf") {
        return PlainTemplate;
    }
    return {};
}

std::unique_ptr<TDocument> LoadBuiltInTemplate(const std::string& name, const TFormatServices& services) {
    const std::string text = BuiltInTemplateText(name);
    if (text.empty()) {
        return nullptr;
    }
    auto document = std::make_unique<TDocument>();
    TDocOpeningOptions options;
    options.FromMemory = true;
    options.Format = dfRtf;
    options.MemoryData = reinterpret_cast<const uint8_t*>(text.data());
    options.MemorySize = static_cast<int32_t>(text.size());
    if (!LoadDocument(*document, options, services)) {
        return nullptr;
    }
    return document;
}

}  // namespace quillane
