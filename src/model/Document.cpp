#include "model/Document.h"

#include <algorithm>
#include <stdexcept>

#include "model/Units.h"
#include "pictures/ObjectManager.h"

namespace quillane {

TDocument::TDocument(const TModelDefaults& defaults, TDocumentHost* host, int32_t screenPpi)
    : DefaultCharAttrs(defaults.Char),
      DefaultParAttrs(defaults.Par),
      hidden_(host == nullptr),
      objects_(std::make_unique<TObjectManager>(this)) {
    View.ScreenPpi = screenPpi;
    View.ZoomedPpi = screenPpi;
    ApplyPageSettings(TPageSettings{}, false);
    AddParagraph();
    if (host != nullptr) {
        SetZoom(100);
        window_ = host->CreateWindow(*this);
        ShownPageCount = 100;
        reflow_ = host->CreateReflowManager(*this);
        undo_ = host->CreateUndoManager(*this);
    }
}

TDocument::~TDocument() {
    // The window may refer to the paragraphs while it goes; free it first.
    window_.reset();
    reflow_.reset();
    undo_.reset();
}

TParagraph& TDocument::AddParagraph() {
    if (!paragraphs_.empty()) {
        TParAttrs& last = paragraphs_.back()->Attributes;
        if (last[paSpacingMultiple] != 0 && last[paLineSpacing] <= 0) {
            last[paLineSpacing] = 240;
        }
    }
    return InsertParagraph(ParagraphCount());
}

TParagraph& TDocument::InsertParagraph(int32_t index) {
    auto paragraph = std::make_unique<TParagraph>(*this);
    paragraph->Attributes = DefaultParAttrs;
    paragraph->Attributes[paWidowControl] = WidowControl;
    paragraph->Index = index;
    TParagraph& result = *paragraph;
    paragraphs_.insert(paragraphs_.begin() + index, std::move(paragraph));
    return result;
}

void TDocument::RemoveParagraph(int32_t i) {
    if (ParagraphCount() <= 1) {
        throw std::logic_error("document: the last paragraph cannot be removed");
    }
    paragraphs_.erase(paragraphs_.begin() + i);
}

void TDocument::InsertParagraphs(int32_t index, int32_t count) {
    if (count <= 0) {
        return;
    }
    std::vector<std::unique_ptr<TParagraph>> fresh;
    fresh.reserve(static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k) {
        auto paragraph = std::make_unique<TParagraph>(*this);
        paragraph->Attributes = DefaultParAttrs;
        paragraph->Attributes[paWidowControl] = WidowControl;
        paragraph->Index = index + k;
        fresh.push_back(std::move(paragraph));
    }
    paragraphs_.insert(paragraphs_.begin() + index, std::make_move_iterator(fresh.begin()),
                       std::make_move_iterator(fresh.end()));
}

void TDocument::RemoveParagraphs(int32_t first, int32_t count) {
    if (count <= 0) {
        return;
    }
    if (count >= ParagraphCount()) {
        throw std::logic_error("document: the last paragraph cannot be removed");
    }
    paragraphs_.erase(paragraphs_.begin() + first, paragraphs_.begin() + first + count);
}

void TDocument::SetModified(bool modified) {
    if (modified == modified_ && !Flags.Test(dsForceModifiedRefresh)) {
        return;
    }
    modified_ = modified;
    if (window_) {
        window_->ShowModified(modified);
    }
}

const TObjectExtents* TDocument::ObjectExtents() const {
    return objectExtents_ != nullptr ? objectExtents_ : objects_.get();
}

TPage& TDocument::AppendPage() {
    pages_.push_back(std::make_unique<TPage>(*this, PageCount()));
    return *pages_.back();
}

void TDocument::FreePagesFrom(int32_t first) {
    while (PageCount() > std::max(first, 0)) {
        pages_.pop_back();
    }
}

void TDocument::ApplyPageSettings(const TPageSettings& settings, bool checkWidth) {
    FreePagesFrom(0);
    pageSettings_ = ValidatePageSettings(settings);
    const int32_t oldTextWidth = textWidth_;
    textWidth_ = pageSettings_.PaperWidth - pageSettings_.LeftMargin - pageSettings_.RightMargin;
    printableHeight_ = TwipsToPixels(
        pageSettings_.PaperHeight - pageSettings_.TopMargin - pageSettings_.BottomMargin, View.ScreenPpi);
    if (checkWidth && textWidth_ != oldTextWidth) {
        DropAllLayouts();
    }
    RecomputePageMeasures();
    paginationComplete_ = false;
}

void TDocument::RecomputePageMeasures() {
    auto measure = [this](int32_t ppi) {
        TPagePixels p;
        p.PaperWidth = TwipsToPixels(pageSettings_.PaperWidth, ppi);
        p.PaperHeight = TwipsToPixels(pageSettings_.PaperHeight, ppi);
        p.LeftMargin = TwipsToPixels(pageSettings_.LeftMargin, ppi);
        p.RightMargin = TwipsToPixels(pageSettings_.RightMargin, ppi);
        p.TopMargin = TwipsToPixels(pageSettings_.TopMargin, ppi);
        p.BottomMargin = TwipsToPixels(pageSettings_.BottomMargin, ppi);
        return p;
    };
    pagePixels_ = measure(View.ScreenPpi);
    zoomedPagePixels_ = measure(View.ZoomedPpi);
}

void TDocument::SetZoom(int32_t percent) {
    View.Zoom = std::clamp(percent, 10, 500);
    View.HorizontalZoom = View.Zoom;
    View.ZoomedPpi = ZoomedPpi(View.ScreenPpi, View.Zoom);
    RecomputePageMeasures();
}

void TDocument::DropAllLayouts() {
    for (auto it = paragraphs_.rbegin(); it != paragraphs_.rend(); ++it) {
        (*it)->DropLayout(false);
    }
}

}  // namespace quillane
