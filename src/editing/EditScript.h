#pragma once
// Scripted editing: one command a line, applied to a document through the
// same edit actions and undo history as the keyboard and the menus. It is
// how users batch-edit with the converter, how benchmarks measure editing,
// and how checks drive the editing core without a window.
//
//   select P:O [P:O]   the caret, or a selection (paragraph:position, 0-based)
//   type TEXT          typed at the caret (\n paragraph break, \t tab, \\ backslash)
//   delete | backspace
//   move P:O           the selection to another place (dragging it there)
//   format bold|italic|underline|strike on|off
//   format font NAME | format size HALFPOINTS
//   grow | shrink      the next standard font size
//   par align left|center|right|justify
//   par indent LEFT FIRST RIGHT   (twips)
//   style NAME         applied to the selected paragraphs with its formatting
//   reset font|paragraph           back to the paragraphs' styles
//   tabs INTERVAL      the default tab interval (twips)
//   page W H LEFT RIGHT TOP BOTTOM the paper and margins (twips)
//   language ID        the language typed text takes (0: the keyboard's)
//   undo [N|all] | redo [N|all]
//   save OUT           writes the current state
// Empty lines and lines starting with # are skipped.

#include <cstdint>
#include <functional>
#include <istream>
#include <string>

namespace quillane {

class TDocument;
class TDocumentEditor;
class TFontManager;

struct TEditScriptResult {
    bool Ok = true;
    int32_t Line = 0;     // the failing line, 1-based
    std::string Message;  // why it failed
};

// Runs the script on a document made with an editing host. `save` writes
// the document to a file and returns a message on failure (empty: saved).
TEditScriptResult RunEditScript(std::istream& script, TDocumentEditor& editor, TFontManager* fonts,
                                const std::function<std::string(const std::string& path)>& save);

}  // namespace quillane
