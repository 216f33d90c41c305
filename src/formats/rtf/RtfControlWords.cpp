#include "formats/rtf/RtfControlWords.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace quillane {

const std::array<const char*, SpecialWordCount> RtfSpecialWordNames = {
    "alt", "blue", "cpg", "ctrl", "ds", "dskcharnr", "dsklefttopx", "dsklefttopy", "dskparnr", "dy",
    "emfblip", "f", "fcharset", "fdecor", "fmodern", "fn", "fnil", "fprq", "froman", "fscript",
    "fswiss", "green", "hr", "jpegblip", "keycode", "min", "mo", "nofpages", "objautlink", "objemb",
    "objh", "objhtml", "objicemb", "objlink", "objocx", "objpub", "objsub", "objw", "pich", "pichgoal",
    "picscalex", "picscaley", "picw", "picwgoal", "pngblip", "red", "sbasedon", "sec", "shift", "snext",
    "stloverrides", "version", "wmetafile", "yr",
};

const std::array<const char*, BodyWordCount> RtfBodyWordNames = {
    "b", "cell", "cellx", "cf", "deflang", "deflangcoding", "deftab", "deleted", "dn", "emdash",
    "endash", "expnd", "expndtw", "f", "fi", "fs", "highlight", "i", "intbl", "keep",
    "keepn", "kerning", "lang", "ldblquote", "li", "line", "lndscpsxn", "lquote", "mac", "margb",
    "margl", "margr", "margt", "nosupersub", "nowidctlpar", "nowidowctrl", "page", "pagebb", "paperh", "paperw",
    "par", "pard", "plain", "pnf", "pnlvlblt", "qc", "qj", "ql", "qr", "rdblquote",
    "ri", "row", "rquote", "s", "sa", "sb", "sect", "sectd", "sl", "slmult",
    "strike", "sub", "super", "tab", "tb", "tldot", "tlhyph", "tlul", "tqc", "tqdec",
    "tqr", "trowd", "tx", "u", "uc", "ul", "uld", "uldash", "uldashd", "uldashdd",
    "uldb", "ulnone", "ulth", "ulw", "ulwave", "up", "useltbaln", "viewscale", "viewzk", "widctlpar",
    "widowctrl",
};

const std::array<const char*, DestinationCount> RtfDestinationNames = {
    "aftncn", "aftnsep", "aftnsepc", "annotation", "atnauthor", "atnicn", "atnid", "atnref", "atntime", "atrfend",
    "atrfstart", "author", "autosavedorigfmt", "autosavedorigname", "bkmkend", "bkmkstart", "buptim", "colortbl",
    "comment", "company",
    "creatim", "datafield", "do", "doccomm", "dptxbxtext", "falt", "field", "file", "filetbl", "fldinst",
    "fldrslt", "fnetwork", "fontemb", "fontfile", "fonttbl", "footer", "footerf", "footerl", "footerr", "footnote",
    "ftncn", "ftnsep", "ftnsepc", "header", "headerf", "headerl", "headerr", "info", "keywords", "listtext",
    "nextfile", "objalias", "objclass", "objdata", "object", "objname", "objsect", "objtime", "operator", "pict",
    "pn", "pnseclvl", "pntext", "pntxta", "pntxtb", "printim", "private1", "result", "revtbl", "rxe",
    "stylesheet", "subject", "tc", "template", "title", "txe", "ud", "upr", "xe",
};

namespace {

int32_t LetterIndex(char c) { return c >= 'a' && c <= 'z' ? c - 'a' : -1; }

}  // namespace

TControlWordTable::TControlWordTable(std::span<const char* const> names) {
    single_.fill(-1);
    tails_.reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string_view name = names[i];
        if (i > 0 && !(std::string_view(names[i - 1]) < name)) {
            throw std::logic_error("control word table out of order at \"" + std::string(name) + "\"");
        }
        const int32_t index = static_cast<int32_t>(i);
        tails_.push_back(name.size() > 2 ? name.substr(2) : std::string_view{});
        const int32_t a = LetterIndex(name[0]);
        if (a < 0) {
            throw std::logic_error("control word table: names are lower-case letters");
        }
        if (name.size() == 1) {
            single_[static_cast<size_t>(a)] = index;
            continue;
        }
        const int32_t b = LetterIndex(name[1]);
        if (b < 0) {
            throw std::logic_error("control word table: names are lower-case letters");
        }
        TCell& cell = cells_[static_cast<size_t>(a * 26 + b)];
        if (name.size() == 2) {
            cell.Self = index;
        } else {
            if (cell.First < 0) {
                cell.First = index;
            }
            cell.Last = index;
        }
    }
}

int32_t TControlWordTable::Find(std::string_view name) const {
    if (name.empty()) {
        return -1;
    }
    const int32_t a = LetterIndex(name[0]);
    if (a < 0) {
        return -1;
    }
    if (name.size() == 1) {
        return single_[static_cast<size_t>(a)];
    }
    const int32_t b = LetterIndex(name[1]);
    if (b < 0) {
        return -1;
    }
    const TCell& cell = cells_[static_cast<size_t>(a * 26 + b)];
    if (name.size() == 2) {
        return cell.Self;
    }
    const std::string_view tail = name.substr(2);
    int32_t lo = cell.First;
    int32_t hi = cell.Last;
    while (lo >= 0 && lo <= hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        const int c = tail.compare(tails_[static_cast<size_t>(mid)]);
        if (c == 0) {
            return mid;
        }
        if (c < 0) {
            hi = mid - 1;
        } else {
            lo = mid + 1;
        }
    }
    return -1;
}

const TControlWords& RtfControlWords() {
    static const TControlWords words;
    return words;
}

}  // namespace quillane
