#pragma once
// A font system with fixed, exactly predictable metrics, for tests of the
// font registry, the caches and the face check.
//
// A font's em size is |height| for a negative height and 4/5 of a positive
// one. Its metrics are: ascent 8/10 em, descent 2/10 em, external leading
// 1/10 em; the width of code c is em * (c % 5 + 3) / 10, plus 1 when bold.
// Kerning amounts are given for an em of 20 pixels and scale with the em.
//
// A request gets the named face when the face is installed with the
// requested character set or the default set is asked for; otherwise the
// face's alias when there is one, otherwise the fallback face.

#include <string>
#include <utility>
#include <vector>

#include "platform/FontSystem.h"

namespace quillane::test {

struct TFakeFace {
    std::string Name;
    std::vector<int32_t> CharSets{AnsiCharSet};
    int32_t PitchAndFamily = VariablePitch | FamilySwiss;
    bool Scalable = true;
    std::vector<TKerningPair> Kerning;  // amounts at an em of 20
};

class TFakeFontSystem final : public TFontSystem {
public:
    std::vector<TFakeFace> Faces;  // in enumeration order
    std::vector<std::pair<std::string, std::string>> Aliases;  // absent face, face delivered
    std::string FallbackFace = "Fake Fallback";
    int32_t SystemSet = AnsiCharSet;

    std::vector<TFontRequest> Requests;  // every font made, in order
    int KerningReads = 0;                // calls of KerningPairs on any font

    std::vector<TFaceInfo> EnumerateFaces() override;
    std::unique_ptr<TPlatformFont> CreatePlatformFont(const TFontRequest& request) override;
    int32_t SystemCharSet() const override { return SystemSet; }

    // The metrics and widths a font of this em size and weight has.
    static int32_t EmOf(int32_t height);
    static int32_t WidthOf(int code, int32_t em, bool bold);

    const TFakeFace* FindFace(const std::string& name) const;
};

// The faces most font tests start from, in this enumeration order: "Times
// New Roman" (sets 0, 204, 161), "Arial" (0, 204, 238), "Symbol" (2),
// "Courier New" (0, 204), "Arial Narrow" (0), "Terminal" (not scalable),
// "wingdings" (2) and "Fake Fallback" (0). Arial kerns "AV" -4, "AW" -2,
// "Ay" -1, "LT" -6 and "To" -3 at an em of 20.
std::vector<TFakeFace> StandardFakeFaces();

}  // namespace quillane::test
