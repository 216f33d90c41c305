#include "model/ParLine.h"

#include <cstring>

#include "model/Page.h"
#include "model/Paragraph.h"
#include "model/TextStream.h"

namespace quillane {

TParLine::~TParLine() {
    if (Page != nullptr) {
        Page->ForgetLine(this);
    }
}

void TParLine::AssignEntries(const uint32_t* entries, int32_t n) {
    TFlexibleString::ResizeBuffer(positions_, n * 4);
    std::memcpy(positions_.Data.get(), entries, static_cast<size_t>(n) * 4);
    entryCount_ = n;
}

uint8_t TParLine::Code(int32_t k) const { return Paragraph->Positions[FirstPosition + k]; }

bool TParLine::EndsWithBreak() const {
    if (PositionCount == 0) {
        return false;
    }
    const uint8_t last = Code(PositionCount - 1);
    return last == spLineBreak || last == spPageBreak;
}

bool TParLine::IsPageBreakLine() const { return PositionCount == 1 && Code(0) == spPageBreak; }

bool TParLine::IsLastOfParagraph() const {
    return FirstPosition + PositionCount >= Paragraph->PositionCount();
}

}  // namespace quillane
