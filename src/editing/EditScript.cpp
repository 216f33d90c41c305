#include "editing/EditScript.h"

#include <charconv>
#include <sstream>
#include <vector>

#include "editing/DocumentEditor.h"
#include "editing/OperationManager.h"
#include "model/Document.h"
#include "model/FontManager.h"

namespace quillane {

namespace {

class TScriptError {
public:
    explicit TScriptError(std::string message) : Message(std::move(message)) {}
    std::string Message;
};

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

int32_t Number(const std::string& text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || ptr != end) {
        throw TScriptError("\"" + text + "\" is not a number");
    }
    return value;
}

TTextPosition Position(const TDocument& document, const std::string& text) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) {
        throw TScriptError("\"" + text + "\" is not a position (paragraph:offset)");
    }
    const TTextPosition p{Number(text.substr(0, colon)), Number(text.substr(colon + 1))};
    if (p.Paragraph < 0 || p.Paragraph >= document.ParagraphCount() || p.Offset < 0 ||
        p.Offset >= document.Paragraph(p.Paragraph).PositionCount()) {
        throw TScriptError("position " + text + " is outside the document");
    }
    return p;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 'n' ? '\r' : c == 't' ? '\t' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

TCharAttrs NoChange() {
    TCharAttrs attrs;
    attrs.Slots.fill(UndefinedAttr);
    return attrs;
}

TParAttrs NoParChange() {
    TParAttrs attrs;
    attrs.Slots.fill(UndefinedAttr);
    return attrs;
}

int32_t OnOff(const std::string& word) {
    if (word == "on") {
        return 1;
    }
    if (word == "off") {
        return 0;
    }
    throw TScriptError("expected on or off, not \"" + word + "\"");
}

int32_t Count(const std::vector<std::string>& words, TOperationManager& manager, bool undo) {
    if (words.size() < 2) {
        return 1;
    }
    if (words[1] == "all") {
        return undo ? manager.Current() + 1 : manager.Count() - 1 - manager.Current();
    }
    return Number(words[1]);
}

void RunLine(const std::string& line, TDocumentEditor& editor, TFontManager* fonts,
             const std::function<std::string(const std::string&)>& save) {
    TDocument& d = editor.Document();
    TOperationManager* manager = OperationManagerOf(d);
    const std::vector<std::string> words = Words(line);
    const std::string& command = words[0];
    auto need = [&](size_t n) {
        if (words.size() < n) {
            throw TScriptError("\"" + command + "\" needs " + std::to_string(n - 1) + " argument(s)");
        }
    };
    TTextPosition selStart = d.View.SelectionStart;
    TTextPosition selEnd = d.View.SelectionEnd;
    if (command == "select") {
        need(2);
        const TTextPosition a = Position(d, words[1]);
        const TTextPosition b = words.size() > 2 ? Position(d, words[2]) : a;
        d.View.Caret.Position = b;
        d.View.Caret.Line = 0;
        d.View.SelectionStart = a;
        d.View.SelectionEnd = b;
        d.Flags.Assign(21, false);
        editor.UpdateSelectionAttrs();
    } else if (command == "type") {
        const size_t at = line.find("type") + 4;
        std::string text = at < line.size() ? line.substr(at + 1) : std::string();
        TTypeRequest request;
        request.Text = Unescape(text);
        editor.PerformEditAction(14, request);
    } else if (command == "delete" || command == "backspace") {
        TDeleteRequest request;
        if (!(selStart == selEnd)) {
            request.Start = selStart;
            request.End = selEnd;
            request.Flags = drWholeTrailingParagraphs;
        } else {
            const TTextPosition caret = d.View.Caret.Position;
            request.Start = request.End = caret;
            if (command == "delete") {
                request.End.Offset = caret.Offset + 1;  // past a mark: the next paragraph's start
            } else if (caret.Offset > 0) {
                request.Start.Offset = caret.Offset - 1;
            } else if (caret.Paragraph > 0) {
                request.Start = {caret.Paragraph - 1, d.Paragraph(caret.Paragraph - 1).PositionCount() - 1};
            }
        }
        editor.PerformEditAction(17, request);
    } else if (command == "move") {
        need(2);
        TMoveRequest request;
        request.Start = selStart;
        request.End = selEnd;
        request.Target = Position(d, words[1]);
        request.Flags = 2;
        editor.PerformEditAction(20, request);
    } else if (command == "format") {
        need(3);
        TCharFormatRequest request;
        request.Attrs = NoChange();
        const std::string& what = words[1];
        if (what == "bold") {
            request.Attrs[caBold] = OnOff(words[2]);
        } else if (what == "italic") {
            request.Attrs[caItalic] = OnOff(words[2]);
        } else if (what == "underline") {
            request.Attrs[caUnderline] = OnOff(words[2]);
        } else if (what == "strike") {
            request.Attrs[caStrikeOut] = OnOff(words[2]);
        } else if (what == "size") {
            const int32_t size = Number(words[2]);
            if (size < 2 || size > 2000) {
                throw TScriptError("a size is 2 to 2000 half-points");
            }
            request.Attrs[caSize] = size;
        } else if (what == "font") {
            if (fonts == nullptr) {
                throw TScriptError("no font registry");
            }
            const size_t at = line.find(words[2], line.find("font") + 4);
            const std::string name = line.substr(at);
            request.Attrs[caFont] = fonts->Register(name, 0, false, 0);
        } else {
            throw TScriptError("unknown format \"" + what + "\"");
        }
        editor.PerformEditAction(2, request);
    } else if (command == "style") {
        need(2);
        const std::string name = line.substr(line.find(words[1], 5));
        TApplyStyleRequest request;
        request.Style = d.Styles().FindByName(name);
        if (request.Style < 0) {
            request.Style = d.Styles().FindByDisplayName(name);
        }
        if (request.Style < 0) {
            throw TScriptError("no style \"" + name + "\"");
        }
        editor.PerformEditAction(10, request);
    } else if (command == "reset") {
        need(2);
        if (words[1] != "font" && words[1] != "paragraph") {
            throw TScriptError("reset font or reset paragraph");
        }
        editor.PerformEditAction(8, TResetRequest{words[1] == "font"});
    } else if (command == "tabs") {
        need(2);
        TTabsRequest request;
        request.DefaultInterval = Number(words[1]);
        if (request.DefaultInterval <= 0) {
            throw TScriptError("a tab interval is positive");
        }
        editor.PerformEditAction(7, request);
    } else if (command == "page") {
        need(7);
        TPageRequest request;
        request.Settings.PaperWidth = Number(words[1]);
        request.Settings.PaperHeight = Number(words[2]);
        request.Settings.LeftMargin = Number(words[3]);
        request.Settings.RightMargin = Number(words[4]);
        request.Settings.TopMargin = Number(words[5]);
        request.Settings.BottomMargin = Number(words[6]);
        editor.PerformEditAction(0, request);
    } else if (command == "language") {
        need(2);
        editor.PerformEditAction(29, TLanguageRequest{Number(words[1])});
    } else if (command == "grow" || command == "shrink") {
        TStepRequest request;
        request.Slot = caSize;
        request.Amount = command == "grow" ? 2000 : -2000;
        editor.PerformEditAction(4, request);
    } else if (command == "par") {
        need(3);
        TParFormatRequest request;
        request.Attrs = NoParChange();
        if (words[1] == "align") {
            static const char* const names[] = {"left", "center", "right", "justify"};
            int32_t kind = -1;
            for (int32_t k = 0; k < 4; ++k) {
                if (words[2] == names[k]) {
                    kind = k;
                }
            }
            if (kind < 0) {
                throw TScriptError("unknown alignment \"" + words[2] + "\"");
            }
            request.Attrs[paAlignment] = kind;
        } else if (words[1] == "indent") {
            need(5);
            request.Attrs[paLeftIndent] = Number(words[2]);
            request.Attrs[paFirstIndent] = Number(words[3]);
            request.Attrs[paRightIndent] = Number(words[4]);
        } else {
            throw TScriptError("unknown paragraph command \"" + words[1] + "\"");
        }
        editor.PerformEditAction(1, request);
    } else if (command == "undo" || command == "redo") {
        if (manager == nullptr) {
            throw TScriptError("the document has no undo history");
        }
        const bool undo = command == "undo";
        if (words.size() > 1 && words[1] == "all") {
            undo ? manager->UndoAll() : manager->RedoAll();
        } else {
            for (int32_t n = Count(words, *manager, undo); n > 0; --n) {
                undo ? manager->Undo() : manager->Redo();
            }
        }
        editor.UpdateSelectionAttrs();
    } else if (command == "save") {
        need(2);
        const std::string message = save(line.substr(line.find(words[1])));
        if (!message.empty()) {
            throw TScriptError(message);
        }
    } else {
        throw TScriptError("unknown command \"" + command + "\"");
    }
}

}  // namespace

TEditScriptResult RunEditScript(std::istream& script, TDocumentEditor& editor, TFontManager* fonts,
                                const std::function<std::string(const std::string& path)>& save) {
    TEditScriptResult result;
    std::string line;
    int32_t number = 0;
    while (std::getline(script, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        line.erase(0, first);
        try {
            RunLine(line, editor, fonts, save);
        } catch (const TScriptError& e) {
            return {false, number, e.Message};
        }
    }
    return result;
}

}  // namespace quillane
