#include "support/FakeFontSystem.h"

#include <algorithm>

#include "model/FontManager.h"

namespace quillane::test {

namespace {

class TFakeFont final : public TPlatformFont {
public:
    TFakeFont(TFakeFontSystem& system, const TFakeFace* face, std::string name, const TFontRequest& request)
        : system_(system), kerning_(face != nullptr ? face->Kerning : std::vector<TKerningPair>{}), name_(std::move(name)), request_(request),
          em_(TFakeFontSystem::EmOf(request.Height)) {}

    std::string FaceName() const override { return name_; }

    TFontMetrics Metrics() const override {
        TFontMetrics m;
        m.Ascent = em_ * 8 / 10;
        m.Descent = em_ * 2 / 10;
        m.Height = m.Ascent + m.Descent;
        m.ExternalLeading = em_ / 10;
        m.AverageCharWidth = em_ / 2;
        m.MaxCharWidth = em_;
        m.CharSet = request_.CharSet;
        return m;
    }

    TCharWidths Widths() const override {
        TCharWidths widths{};
        for (int c = 0; c < 256; ++c) {
            widths[static_cast<size_t>(c)] = TFakeFontSystem::WidthOf(c, em_, request_.Weight >= 700);
        }
        return widths;
    }

    std::vector<TKerningPair> KerningPairs() const override {
        ++system_.KerningReads;
        std::vector<TKerningPair> pairs;
        for (TKerningPair pair : kerning_) {
            pair.Amount = pair.Amount * em_ / 20;
            pairs.push_back(pair);
        }
        return pairs;
    }

private:
    TFakeFontSystem& system_;
    std::vector<TKerningPair> kerning_;  // a copy: tests may change the faces later
    std::string name_;
    TFontRequest request_;
    int32_t em_;
};

}  // namespace

int32_t TFakeFontSystem::EmOf(int32_t height) { return height < 0 ? -height : height * 4 / 5; }

int32_t TFakeFontSystem::WidthOf(int code, int32_t em, bool bold) { return em * (code % 5 + 3) / 10 + (bold ? 1 : 0); }

const TFakeFace* TFakeFontSystem::FindFace(const std::string& name) const {
    for (const TFakeFace& face : Faces) {
        if (SameFontName(face.Name, name)) {
            return &face;
        }
    }
    return nullptr;
}

std::vector<TFaceInfo> TFakeFontSystem::EnumerateFaces() {
    std::vector<TFaceInfo> faces;
    for (const TFakeFace& face : Faces) {
        for (int32_t charSet : face.CharSets) {
            faces.push_back(TFaceInfo{face.Name, charSet, face.PitchAndFamily, face.Scalable});
        }
    }
    return faces;
}

std::unique_ptr<TPlatformFont> TFakeFontSystem::CreatePlatformFont(const TFontRequest& request) {
    Requests.push_back(request);
    auto usable = [&](const TFakeFace* face) {
        return face != nullptr && (request.CharSet == DefaultCharSet ||
                                   std::find(face->CharSets.begin(), face->CharSets.end(), request.CharSet) !=
                                       face->CharSets.end());
    };
    const TFakeFace* face = FindFace(request.Face);
    if (!usable(face)) {
        face = nullptr;
        for (const auto& [absent, delivered] : Aliases) {
            if (SameFontName(absent, request.Face)) {
                face = FindFace(delivered);
            }
        }
        if (face == nullptr) {
            face = FindFace(FallbackFace);
        }
    }
    const std::string name = face != nullptr ? face->Name : FallbackFace;
    return std::make_unique<TFakeFont>(*this, face, name, request);
}

std::vector<TFakeFace> StandardFakeFaces() {
    const std::vector<TKerningPair> arialPairs = {
        {'A', 'V', -4}, {'A', 'W', -2}, {'A', 'y', -1}, {'L', 'T', -6}, {'T', 'o', -3}};
    return {
        {"Times New Roman", {0, 204, 161}, VariablePitch | FamilyRoman, true, {}},
        {"Arial", {0, 204, 238}, VariablePitch | FamilySwiss, true, arialPairs},
        {"Symbol", {2}, VariablePitch | FamilyRoman, true, {}},
        {"Courier New", {0, 204}, FixedPitch | FamilyModern, true, {}},
        {"Arial Narrow", {0}, VariablePitch | FamilySwiss, true, {}},
        {"Terminal", {255}, FixedPitch | FamilyModern, false, {}},
        {"wingdings", {2}, VariablePitch | FamilyDecorative, true, {}},
        {"Fake Fallback", {0}, VariablePitch | FamilySwiss, true, {}},
    };
}

}  // namespace quillane::test
