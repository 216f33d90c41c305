#include "ConvertCommand.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <system_error>

#include <fstream>

#include "editing/DocumentEditor.h"
#include "editing/EditScript.h"
#include "editing/EditingHost.h"
#include "editing/OperationManager.h"
#include "formats/DocumentFormat.h"
#include "formats/DocumentLoader.h"
#include "formats/PlainText.h"
#include "formats/SafeFileWrite.h"
#include "LayoutDump.h"
#include "PageImages.h"
#include "PdfPages.h"
#include "layout/LineLayout.h"
#include "model/KerningPairs.h"
#include "formats/Utf8Text.h"
#include "formats/DocumentPictureSink.h"
#include "formats/rtf/RtfWriter.h"
#include "model/Document.h"
#include "model/FontNames.h"
#include "model/ParAttrs.h"
#include "model/StyleManager.h"
#include "model/Units.h"
#include "model/FontManager.h"
#include "pictures/PictureFile.h"
#include "platform/CodePages.h"
#include "platform/File.h"
#include "platform/FontSystem.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"

namespace quillane {

const char* const ConvertUsage =
    "usage: quillane-convert [--from FMT] [--to FMT] [--oem-cp N] [--ansi-cp N] [--escaped] IN OUT\n"
    "       quillane-convert --info [--from FMT] IN\n"
    "       quillane-convert --styles [--from FMT] IN\n"
    "       quillane-convert --layout [--from FMT] IN\n"
    "       quillane-convert --to png [--zoom N] [--pages A-B] IN OUTPREFIX\n"
    "       quillane-convert --to pdf [--pages A-B] IN OUT.pdf\n"
    "       quillane-convert --fonts\n"
    "       quillane-convert --picture IN OUT\n"
    "       quillane-convert --edit SCRIPT [--to FMT] IN OUT\n"
    "formats: rtf (Rich Text Format), txt (ANSI Plain Text),\n"
    "dostxt (DOS Plain Text), utf8 (the text as UTF-8, write only),\n"
    "wri (Windows Write, read only)\n"
    "Without --from the input's format is detected (MS Word 6.0/95 and 97/2000\n"
    "documents and Windows Write files by their content, whatever their extension);\n"
    "without --to the output's extension decides (.txt is ANSI text, .rtf RTF).\n"
    "--oem-cp and --ansi-cp name the code\n"
    "pages of DOS and ANSI text (default: the system's, 437 and 1252 on POSIX).\n"
    "--to utf8 decodes each run through the character set of its font.\n"
    "--escaped writes RTF for old readers: 8-bit characters as \\'hh escapes and\n"
    "bitmaps as Windows metafiles (by default they are written as they are).\n"
    "--info prints the format, the counts and whether data was lost.\n"
    "--styles prints the style list, one style a line: index, name, based-on\n"
    "index, next index and description, separated by tabs.\n"
    "--fonts lists the font families: name, character set, pitch and family.\n"
    "--layout lays the document out at 100 % and prints one line per laid-out\n"
    "line: paragraph, line, first position, position count, start x, end x,\n"
    "paragraph width (x and widths in 1/8 pixel) and line height in pixels.\n"
    "--to png paginates and writes each page as OUTPREFIX-1.png, OUTPREFIX-2.png\n"
    "..., at --zoom percent (10 to 500, default 100), only the pages A to B with\n"
    "--pages.\n"
    "--to pdf paginates and writes the pages (A to B with --pages) as a PDF file\n"
    "on the document's paper size, painted as for a printer (not available in\n"
    "the Windows build).\n"

    "--picture reads a PNG, JPEG, GIF, BMP, Targa or PCX picture and writes it\n"
    "as PNG (OUT is PNG whatever its name). A GIF gives its first frame on its\n"
    "logical screen; Targa and PCX are known by IN's extension (.tga, .pcx).\n"
    "--edit applies the editing commands of SCRIPT (one a line: select P:O [P:O],\n"
    "type TEXT, delete, backspace, format bold|italic|underline|strike on|off,\n"
    "format font NAME, format size N, grow, shrink, par align KIND,\n"
    "par indent LEFT FIRST RIGHT, style NAME, reset font|paragraph, tabs N,\n"
    "page W H L R T B, language ID, move P:O, undo [N|all], redo [N|all], save OUT2) with\n"
    "undo, then writes OUT; a bad line stops with exit code 2 and OUT untouched.\n";

namespace {

struct TFormatName {
    const char* Name;
    int32_t Format;
};
constexpr TFormatName FormatNames[] = {
    {"rtf", dfRtf}, {"txt", dfAnsiText}, {"dostxt", dfDosText}, {"utf8", ConvertToUtf8}, {"wri", dfWrite}};

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
    if (ext == ".rtf") {
        return dfRtf;
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

void PrintStyles(TDocument& document, const TFontManager& fonts, const TStyleManager& styles, std::ostream& out) {
    // Every document gets the master styles it lacks, as a new one does.
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

// Writes `bytes` through the safe-save helper: a new file beside the output
// replaces it only when complete, so a failed run leaves the output as it was.
int WriteThroughTemporary(const std::string& output, const TBytes& bytes, std::ostream& err) {
    TStreamMessageBox messages(err);
    TSafeWriteRequest request;
    request.Target = output;
    request.Write = [&](TFile& file) { return file.Write(bytes.data(), static_cast<int32_t>(bytes.size())); };
    if (WriteFileSafely(request, messages) == TSafeWriteResult::Written) {
        return 0;
    }
    err << "quillane-convert: could not write \"" << output << "\"\n";
    return 1;
}

int ConvertPicture(const TConvertRequest& request, std::ostream& err) {
    TFileOpenResult opened = OpenFile(request.Input, TFileMode::Read);
    if (!opened.File) {
        err << "quillane-convert: cannot open \"" << request.Input << "\": " << opened.Message << "\n";
        return 1;
    }
    const int64_t size = opened.File->Size();
    if (size < 0 || size > MaxPictureFileBytes) {
        err << "quillane-convert: \"" << request.Input << "\" is too large for a picture\n";
        return 1;
    }
    TBytes input(static_cast<size_t>(size));
    for (int64_t at = 0; at < size;) {
        const int32_t n = opened.File->Read(input.data() + at, static_cast<int32_t>(size - at));
        if (n <= 0) {
            err << "quillane-convert: cannot read \"" << request.Input << "\"\n";
            return 1;
        }
        at += n;
    }
    opened.File.reset();
    TBytes png;
    try {
        TPNGImage picture = LoadPictureFile(input, std::filesystem::path(request.Input).extension().string());
        png = picture.SaveToBytes();
    } catch (const TPictureError& e) {
        err << "quillane-convert: cannot decode \"" << request.Input << "\": " << e.what() << "\n";
        return 1;
    }
    return WriteThroughTemporary(request.Output, png, err);
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
        } else if (arg == "--layout") {
            request.Action = TConvertRequest::TAction::Layout;
        } else if (arg == "--fonts") {
            request.Action = TConvertRequest::TAction::Fonts;
        } else if (arg == "--zoom" || arg == "--pages") {
            const auto text = value(arg.c_str());
            if (!text) {
                return std::nullopt;
            }
            int32_t a = 0;
            int32_t b = 0;
            char dash = 0;
            char extra = 0;
            const int fields = std::sscanf(text->c_str(), "%d%c%d%c", &a, &dash, &b, &extra);
            if (arg == "--zoom" && fields == 1 && a >= 10 && a <= 500) {
                request.Zoom = a;
            } else if (arg == "--pages" && fields == 1 && a >= 1) {
                request.FirstPage = request.LastPage = a;
            } else if (arg == "--pages" && fields == 3 && dash == '-' && a >= 1 && b >= a) {
                request.FirstPage = a;
                request.LastPage = b;
            } else {
                error = arg == "--zoom" ? "--zoom takes a percentage from 10 to 500"
                                        : "--pages takes a page or a range A-B";
                return std::nullopt;
            }
        } else if (arg == "--to" && i + 1 < args.size() && args[i + 1] == "png") {
            ++i;
            request.Action = TConvertRequest::TAction::Images;
        } else if (arg == "--to" && i + 1 < args.size() && args[i + 1] == "pdf") {
            ++i;
            request.Action = TConvertRequest::TAction::Pdf;
        } else if (arg == "--picture") {
            request.Action = TConvertRequest::TAction::Picture;
        } else if (arg == "--edit") {
            const auto script = value("--edit");
            if (!script) {
                return std::nullopt;
            }
            request.Action = TConvertRequest::TAction::Edit;
            request.Script = *script;
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
            const bool readable = *format != ConvertToUtf8;
            const bool writable = IsTextFormat(*format) || *format == dfRtf || *format == ConvertToUtf8;
            if (arg == "--from" ? !readable : !writable) {
                error = "cannot " + std::string(arg == "--from" ? "read" : "write") + " format \"" + *name + "\"";
                return std::nullopt;
            }
            (arg == "--from" ? request.From : request.To) = *format;
        } else if (arg == "--escaped") {
            request.CompactRtf = false;
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
                            request.Action == TConvertRequest::TAction::Styles ||
                            request.Action == TConvertRequest::TAction::Layout;
    const size_t wanted = describing ? 1 : 2;
    if (positional.size() != wanted) {
        error = !describing ? "give an input and an output file"
                : request.Action == TConvertRequest::TAction::Info   ? "--info takes one file"
                : request.Action == TConvertRequest::TAction::Layout ? "--layout takes one file"
                                                                     : "--styles takes one file";
        return std::nullopt;
    }
    request.Input = positional[0];
    if (wanted == 2) {
        request.Output = positional[1];
        if (request.Action == TConvertRequest::TAction::Picture) {
            return request;
        }
        if (request.To < 0 && (request.Action == TConvertRequest::TAction::Convert ||
                               request.Action == TConvertRequest::TAction::Edit)) {
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

namespace {

// Lets go of a document without destroying it when asked to.
struct TLeaveAtExit {
    std::unique_ptr<TDocument>& Owned;
    bool Leave;
    ~TLeaveAtExit() {
        if (Leave) {
            (void)Owned.release();
        }
    }
};

}  // namespace

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
    if (request.Action == TConvertRequest::TAction::Picture) {
        return ConvertPicture(request, err);
    }
    std::unique_ptr<TCodePageConverter> codePages;
    try {
        codePages = CreateCodePageConverter(request.OemCodePage, request.AnsiCodePage);
    } catch (const std::exception& e) {
        err << "quillane-convert: " << e.what() << "\n";
        return 1;
    }
    TStreamMessageBox messages(err);

    // The font registry: RTF font tables are registered in it, style
    // descriptions and the UTF-8 text name fonts through it.
    std::unique_ptr<TFontSystem> ownedFonts;
    std::unique_ptr<TFontManager> fontManager;
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
    const TStyleManager styleManager(fontManager->ArialIndex());
    TDocumentPictureSink pictures;
    const TFormatServices services{messages, *codePages, nullptr, fontManager.get(), &styleManager, &pictures};

    // An edited document has an undo history; the others are hidden.
    TEditingHost editingHost;
    const bool editing = request.Action == TConvertRequest::TAction::Edit;
    auto owned = std::make_unique<TDocument>(TModelDefaults::BuiltIn(fontManager->TimesNewRomanIndex()),
                                             editing ? &editingHost : nullptr);
    TDocument& document = *owned;
    const TLeaveAtExit leave{owned, request.LeaveDocumentAtExit};
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
            << "data losses: " << (document.OpenedWithDataLosses ? "yes" : "no") << "\n"
            << "pages: " << CountPages(document, *fontManager) << "\n";
        return 0;
    }
    if (request.Action == TConvertRequest::TAction::Styles) {
        PrintStyles(document, *fontManager, styleManager, out);
        return 0;
    }
    if (request.Action == TConvertRequest::TAction::Images) {
        TPageImageRequest images;
        images.Prefix = request.Output;
        images.Zoom = request.Zoom;
        images.FirstPage = request.FirstPage;
        images.LastPage = request.LastPage;
        return WritePageImages(document, *fontManager, images, err) < 0 ? 1 : 0;
    }
    if (request.Action == TConvertRequest::TAction::Pdf) {
        const std::optional<std::string> pdf =
            PdfOfPages(document, *fontManager, request.FirstPage, request.LastPage, err);
        if (!pdf) {
            return 1;
        }
        return WriteThroughTemporary(request.Output, TBytes(pdf->begin(), pdf->end()), err);
    }
    if (request.Action == TConvertRequest::TAction::Layout) {
        TKerningPairsManager kerning;
        TLineLayout layout(*fontManager, kerning, ScreenPixelsPerInch());
        PrintLayout(document, layout, out);
        return 0;
    }

    // Writes the document through the safe-save helper: a new file beside
    // the target that replaces it in one step, so a failed write leaves the
    // target as it was.
    auto writeTo = [&](const std::string& output, int32_t format) -> std::string {
        TSafeWriteRequest write;
        write.Target = output;
        write.Write = [&](TFile& file) {
            if (format == ConvertToUtf8) {
                return WriteDocumentUtf8(document, *fontManager, codePages->AnsiCodePage(),
                                         [&](std::string_view block) {
                                             return file.Write(block.data(), static_cast<int32_t>(block.size()));
                                         });
            }
            const TDocSavingOptions saving = TDocSavingOptions::WholeDocument(document, format);
            TRtfWriterOptions rtf;
            rtf.SuperCompact = request.CompactRtf;
            return WriteDocument(document, &file, output, saving, services, rtf) == WriteSucceeded;
        };
        if (WriteFileSafely(write, messages) == TSafeWriteResult::Written) {
            return {};
        }
        return "could not write \"" + output + "\"";
    };

    if (editing) {
        std::ifstream script(request.Script, std::ios::binary);
        if (!script) {
            err << "quillane-convert: cannot read the script \"" << request.Script << "\"\n";
            return 2;
        }
        TDocumentEditor editor(document, OperationManagerOf(document));
        editor.UpdateSelectionAttrs();
        const TEditScriptResult edited =
            RunEditScript(script, editor, fontManager.get(), [&](const std::string& path) {
                const auto format = FormatFromExtension(path);
                return writeTo(path, format ? *format : request.To);
            });
        if (!edited.Ok) {
            err << "quillane-convert: " << request.Script << ":" << edited.Line << ": " << edited.Message << "\n";
            return 2;
        }
    }
    const std::string message = writeTo(request.Output, request.To);
    if (!message.empty()) {
        err << "quillane-convert: " << message << "\n";
        return 1;
    }
    return 0;
}

}  // namespace quillane
