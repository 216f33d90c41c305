#include "ConvertCommand.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "formats/DocumentFormat.h"
#include "formats/DocumentLoader.h"
#include "formats/PlainText.h"
#include "model/Document.h"
#include "model/FontNames.h"
#include "model/ParAttrs.h"
#include "model/StyleManager.h"
#include "model/Units.h"
#include "model/FontManager.h"
#include "platform/CodePages.h"
#include "platform/File.h"
#include "platform/FontSystem.h"
#include "platform/MessageBox.h"

namespace quillane {

const char* const ConvertUsage =
    "usage: quillane-convert [--from FMT] [--to FMT] [--oem-cp N] [--ansi-cp N] IN OUT\n"
    "       quillane-convert --info [--from FMT] IN\n"
    "       quillane-convert --styles [--from FMT] IN\n"
    "       quillane-convert --fonts\n"
    "formats: txt (ANSI Plain Text), dostxt (DOS Plain Text)\n"
    "Without --from the input's format is detected (MS Word 6.0/95 and 97/2000\n"
    "documents by their content, whatever their extension); without --to the output's\n"
    "extension decides (.txt is ANSI text). --oem-cp and --ansi-cp name the code\n"
    "pages of DOS and ANSI text (default: the system's, 437 and 1252 on POSIX).\n"
    "--styles prints the style list, one style a line: index, name, based-on\n"
    "index, next index and description, separated by tabs.\n"
    "--fonts lists the font families: name, character set, pitch and family.\n";

namespace {

struct TFormatName {
    const char* Name;
    int32_t Format;
};
constexpr TFormatName FormatNames[] = {{"txt", dfAnsiText}, {"dostxt", dfDosText}};

std::optional<int32_t> FormatFromName(const std::string& name) {
    for (const auto& entry : FormatNames) {
        if (name == entry.Name) {
            return entry.Format;
        }
    }
    return std::nullopt;
}

std::optional<int32_t> FormatFromExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".txt") {
        return dfAnsiText;
    }
    return std::nullopt;
}

std::optional<int> ParseCodePage(const std::string& text) {
    if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), ::isdigit)) {
        return std::nullopt;
    }
    return std::stoi(text);
}

// Messages of the readers and writers go to the error stream: a console
// cannot answer, so the cautious button is taken.
class TStreamMessageBox final : public TMessageBox {
public:
    explicit TStreamMessageBox(std::ostream& err) : err_(err) {}
    TMessageAnswer Show(const std::string& text, TMessageKind, TMessageButtons buttons) override {
        err_ << "quillane-convert: " << ExpandLineBreaks(text, " ") << "\n";
        return CautiousAnswer(buttons);
    }

private:
    std::ostream& err_;
};

// Font names as the registry shows them, for style descriptions.
class TRegistryFontNames final : public TFontNames {
public:
    explicit TRegistryFontNames(const TFontManager& fonts) : fonts_(fonts) {}
    std::string FontName(int32_t index) const override {
        if (index < 0 || index >= static_cast<int32_t>(fonts_.Registry().size())) {
            return "font " + std::to_string(index);
        }
        return fonts_.DisplayName(index);
    }

private:
    const TFontManager& fonts_;
};

void PrintStyles(TDocument& document, const TFontManager& fonts, std::ostream& out) {
    // Every document gets the master styles it lacks, as a new one does.
    const TStyleManager styles(fonts.ArialIndex());
    styles.ImportMaster(document.Styles());
    const TRegistryFontNames names(fonts);
    const TMeasurementsManager measures;
    const TStyleDescribeContext context{names, measures, document.DefaultCharAttrs, {}};
    const TStyleList& list = document.Styles();
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        const TStyle& style = list.Style(i);
        out << i << '\t' << style.Name << '\t' << style.BasedOn << '\t' << style.NextStyle << '\t'
            << style.Describe(false, context) << '\n';
    }
}

int32_t CountCharacters(const TDocument& document) {
    int64_t n = 0;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& p = document.Paragraph(i);
        n += p.PositionCount() - (p.EndsWithParagraphEnd() ? 1 : 0);
    }
    return static_cast<int32_t>(std::min<int64_t>(n, INT32_MAX));
}

// A name beside the output that no other file has.
std::string TemporaryNameFor(const std::string& output) {
    const std::filesystem::path target(output);
    for (int i = 0;; ++i) {
        std::filesystem::path candidate = target;
        candidate += ".part" + std::to_string(i);
        std::error_code ec;
        if (!std::filesystem::exists(candidate, ec)) {
            return candidate.string();
        }
    }
}

}  // namespace

std::optional<TConvertRequest> ParseConvertArguments(const std::vector<std::string>& args, std::string& error) {
    TConvertRequest request;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](const char* option) -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                error = std::string(option) + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            request.Action = TConvertRequest::TAction::Help;
            return request;
        } else if (arg == "--info") {
            request.Action = TConvertRequest::TAction::Info;
        } else if (arg == "--styles") {
            request.Action = TConvertRequest::TAction::Styles;
        } else if (arg == "--fonts") {
            request.Action = TConvertRequest::TAction::Fonts;
        } else if (arg == "--from" || arg == "--to") {
            const auto name = value(arg.c_str());
            if (!name) {
                return std::nullopt;
            }
            const auto format = FormatFromName(*name);
            if (!format) {
                error = "unknown format \"" + *name + "\"";
                return std::nullopt;
            }
            (arg == "--from" ? request.From : request.To) = *format;
        } else if (arg == "--oem-cp" || arg == "--ansi-cp") {
            const auto text = value(arg.c_str());
            if (!text) {
                return std::nullopt;
            }
            const auto page = ParseCodePage(*text);
            if (!page) {
                error = "bad code page \"" + *text + "\"";
                return std::nullopt;
            }
            (arg == "--oem-cp" ? request.OemCodePage : request.AnsiCodePage) = *page;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "unknown option \"" + arg + "\"";
            return std::nullopt;
        } else {
            positional.push_back(arg);
        }
    }
    if (request.Action == TConvertRequest::TAction::Fonts) {
        if (!positional.empty()) {
            error = "--fonts takes no file";
            return std::nullopt;
        }
        return request;
    }
    const bool describing = request.Action == TConvertRequest::TAction::Info ||
                            request.Action == TConvertRequest::TAction::Styles;
    const size_t wanted = describing ? 1 : 2;
    if (positional.size() != wanted) {
        error = !describing ? "give an input and an output file"
                : request.Action == TConvertRequest::TAction::Info ? "--info takes one file"
                                                                   : "--styles takes one file";
        return std::nullopt;
    }
    request.Input = positional[0];
    if (wanted == 2) {
        request.Output = positional[1];
        if (request.To < 0) {
            const auto format = FormatFromExtension(request.Output);
            if (!format) {
                error = "cannot tell the output format from \"" + request.Output + "\"; use --to";
                return std::nullopt;
            }
            request.To = *format;
        }
    }
    return request;
}

void ListFonts(TFontSystem& fonts, std::ostream& out) {
    const TFontManager manager(fonts);
    for (const TFontFamily& family : manager.Families()) {
        out << family.Name << "\t" << family.CharSet << "\t" << family.PitchAndFamily << "\n";
    }
}

int RunConvert(const TConvertRequest& request, std::ostream& out, std::ostream& err, TFontSystem* fonts) {
    if (request.Action == TConvertRequest::TAction::Help) {
        out << ConvertUsage;
        return 0;
    }
    if (request.Action == TConvertRequest::TAction::Fonts) {
        try {
            if (fonts != nullptr) {
                ListFonts(*fonts, out);
            } else {
                ListFonts(*CreateFontSystem(), out);
            }
        } catch (const std::exception& e) {
            err << "quillane-convert: " << e.what() << "\n";
            return 1;
        }
        return 0;
    }
    std::unique_ptr<TCodePageConverter> codePages;
    try {
        codePages = CreateCodePageConverter(request.OemCodePage, request.AnsiCodePage);
    } catch (const std::exception& e) {
        err << "quillane-convert: " << e.what() << "\n";
        return 1;
    }
    TStreamMessageBox messages(err);

    // The font registry is only needed to name the fonts of styles.
    std::unique_ptr<TFontSystem> ownedFonts;
    std::unique_ptr<TFontManager> fontManager;
    TModelDefaults defaults = TModelDefaults::BuiltIn();
    if (request.Action == TConvertRequest::TAction::Styles) {
        try {
            if (fonts == nullptr) {
                ownedFonts = CreateFontSystem();
                fonts = ownedFonts.get();
            }
            fontManager = std::make_unique<TFontManager>(*fonts);
        } catch (const std::exception& e) {
            err << "quillane-convert: " << e.what() << "\n";
            return 1;
        }
        defaults = TModelDefaults::BuiltIn(fontManager->TimesNewRomanIndex());
    }
    // Readers register a document's fonts where there is a registry.
    const TFormatServices services{messages, *codePages, nullptr, fontManager.get()};

    TDocument document(defaults);
    TDocOpeningOptions opening;
    opening.FileName = request.Input;
    opening.Format = request.From;
    if (!LoadDocument(document, opening, services)) {
        err << "quillane-convert: could not read \"" << request.Input << "\"\n";
        return 1;
    }
    if (request.Action == TConvertRequest::TAction::Info) {
        out << "format: " << DocumentFormats[opening.Format].Name << "\n"
            << "paragraphs: " << document.ParagraphCount() << "\n"
            << "characters: " << CountCharacters(document) << "\n"
            << "data losses: " << (document.OpenedWithDataLosses ? "yes" : "no") << "\n";
        return 0;
    }
    if (request.Action == TConvertRequest::TAction::Styles) {
        PrintStyles(document, *fontManager, out);
        return 0;
    }

    const std::string temporary = TemporaryNameFor(request.Output);
    int32_t result = WriteFailed;
    {
        TFileOpenResult created = OpenFile(temporary, TFileMode::CreateAlways);
        if (!created.File) {
            err << "quillane-convert: cannot create \"" << temporary << "\": " << created.Message << "\n";
            return 1;
        }
        const TDocSavingOptions saving = TDocSavingOptions::WholeDocument(document, request.To);
        result = WriteDocument(document, created.File.get(), request.Output, saving, services);
    }  // closed before the rename
    std::error_code ec;
    if (result == WriteSucceeded) {
        std::filesystem::rename(temporary, request.Output, ec);
        if (!ec) {
            return 0;
        }
        err << "quillane-convert: cannot replace \"" << request.Output << "\": " << ec.message() << "\n";
    } else {
        err << "quillane-convert: could not write \"" << request.Output << "\"\n";
    }
    std::filesystem::remove(temporary, ec);
    return 1;
}

}  // namespace quillane
