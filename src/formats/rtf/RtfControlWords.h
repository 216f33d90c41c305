#pragma once
// The three tables of control words the RTF reader knows, each a sorted list
// of names whose position is the word's number, and the lookup that finds a
// name: one- and two-letter names by direct index, longer ones by a short
// binary search among the names sharing their first two letters. The writer
// emits words by the same numbers, so the tables keep their order.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quillane {

// Words used inside the font, colour and style tables, the information
// group, pictures and objects.
enum TRtfSpecialWord : int32_t {
    swAlt, swBlue, swCpg, swCtrl, swDs, swDskcharnr, swDsklefttopx, swDsklefttopy, swDskparnr, swDy,
    swEmfblip, swF, swFcharset, swFdecor, swFmodern, swFn, swFnil, swFprq, swFroman, swFscript,
    swFswiss, swGreen, swHr, swJpegblip, swKeycode, swMin, swMo, swNofpages, swObjautlink, swObjemb,
    swObjh, swObjhtml, swObjicemb, swObjlink, swObjocx, swObjpub, swObjsub, swObjw, swPich, swPichgoal,
    swPicscalex, swPicscaley, swPicw, swPicwgoal, swPngblip, swRed, swSbasedon, swSec, swShift, swSnext,
    swStloverrides, swVersion, swWmetafile, swYr,
    SpecialWordCount
};

// Formatting and text words of the body.
enum TRtfBodyWord : int32_t {
    bwB, bwCell, bwCellx, bwCf, bwDeflang, bwDeflangcoding, bwDeftab, bwDeleted, bwDn, bwEmdash,
    bwEndash, bwExpnd, bwExpndtw, bwF, bwFi, bwFs, bwHighlight, bwI, bwIntbl, bwKeep,
    bwKeepn, bwKerning, bwLang, bwLdblquote, bwLi, bwLine, bwLndscpsxn, bwLquote, bwMac, bwMargb,
    bwMargl, bwMargr, bwMargt, bwNosupersub, bwNowidctlpar, bwNowidowctrl, bwPage, bwPagebb, bwPaperh, bwPaperw,
    bwPar, bwPard, bwPlain, bwPnf, bwPnlvlblt, bwQc, bwQj, bwQl, bwQr, bwRdblquote,
    bwRi, bwRow, bwRquote, bwS, bwSa, bwSb, bwSect, bwSectd, bwSl, bwSlmult,
    bwStrike, bwSub, bwSuper, bwTab, bwTb, bwTldot, bwTlhyph, bwTlul, bwTqc, bwTqdec,
    bwTqr, bwTrowd, bwTx, bwU, bwUc, bwUl, bwUld, bwUldash, bwUldashd, bwUldashdd,
    bwUldb, bwUlnone, bwUlth, bwUlw, bwUlwave, bwUp, bwUseltbaln, bwViewscale, bwViewzk, bwWidctlpar,
    bwWidowctrl,
    BodyWordCount
};

// Destinations: groups with their own meaning.
enum TRtfDestination : int32_t {
    dwAftncn, dwAftnsep, dwAftnsepc, dwAnnotation, dwAtnauthor, dwAtnicn, dwAtnid, dwAtnref, dwAtntime, dwAtrfend,
    dwAtrfstart, dwAuthor, dwAutosavedorigfmt, dwAutosavedorigname, dwBkmkend, dwBkmkstart, dwBuptim, dwColortbl, dwComment, dwCompany,
    dwCreatim, dwDatafield, dwDo, dwDoccomm, dwDptxbxtext, dwFalt, dwField, dwFile, dwFiletbl, dwFldinst,
    dwFldrslt, dwFnetwork, dwFontemb, dwFontfile, dwFonttbl, dwFooter, dwFooterf, dwFooterl, dwFooterr, dwFootnote,
    dwFtncn, dwFtnsep, dwFtnsepc, dwHeader, dwHeaderf, dwHeaderl, dwHeaderr, dwInfo, dwKeywords, dwListtext,
    dwNextfile, dwObjalias, dwObjclass, dwObjdata, dwObject, dwObjname, dwObjsect, dwObjtime, dwOperator, dwPict,
    dwPn, dwPnseclvl, dwPntext, dwPntxta, dwPntxtb, dwPrintim, dwPrivate1, dwResult, dwRevtbl, dwRxe,
    dwStylesheet, dwSubject, dwTc, dwTemplate, dwTitle, dwTxe, dwUd, dwUpr, dwXe,
    DestinationCount
};

extern const std::array<const char*, SpecialWordCount> RtfSpecialWordNames;
extern const std::array<const char*, BodyWordCount> RtfBodyWordNames;
extern const std::array<const char*, DestinationCount> RtfDestinationNames;

// Lookup over one sorted table of lower-case names.
class TControlWordTable {
public:
    // Throws std::logic_error when the names are not in byte order, since
    // the two-letter cells would then miss names.
    explicit TControlWordTable(std::span<const char* const> names);

    // The word's number, or -1. The name must already be in lower case.
    int32_t Find(std::string_view name) const;

private:
    struct TCell {
        int32_t Self = -1;   // the two-letter name itself
        int32_t First = -1;  // range of the longer names with this prefix
        int32_t Last = -1;
    };
    std::vector<std::string_view> tails_;  // each name from its third letter
    std::array<int32_t, 26> single_;
    std::array<TCell, 26 * 26> cells_;
};

struct TControlWords {
    TControlWordTable Special{RtfSpecialWordNames};
    TControlWordTable Body{RtfBodyWordNames};
    TControlWordTable Destinations{RtfDestinationNames};
};

// Built on first use and never changed afterwards.
const TControlWords& RtfControlWords();

}  // namespace quillane
