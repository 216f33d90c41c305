#pragma once
// The portable metafile player: Windows metafiles and enhanced metafiles
// played record by record into a rectangle of any canvas, for the devices
// that have no player of their own (cairo images and PDF pages). Windows
// plays metafiles with its own player (TCanvas::DrawMetafile); this one
// draws the common records through the canvas and the font system and
// skips the rest.
//
// Nothing in the bits is trusted: each record's length is checked against
// what is left, counts against the record, and a picture plays at most
// MaxMetafileRecords records and a bounded amount of drawing (see
// TMetafileDevice).

#include <cstddef>

#include "platform/Canvas.h"

namespace quillane {

class TFontSystem;

constexpr size_t MaxMetafileRecords = 1 << 20;

// False when the bits are no metafile this player reads (nothing is drawn);
// true once its records have been played, however many it understood.
// Text needs fonts; without them it is left out.
bool PlayMetafilePortably(TCanvas& canvas, TFontSystem* fonts, const TMetafileView& metafile, const TRect& dest);

}  // namespace quillane
