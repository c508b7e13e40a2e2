#pragma once
// Animation size reduction: shrinks an animation whose records all hold
// full-frame images, each mapped to the global palette or to a table of its
// own, without changing what a viewer shows. Every record keeps disposal 0,
// so a viewer leaves the previous image in place and draws the next one over
// it; pixels that did not change are therefore made transparent or left out.
//
// Run after ColorQuantizer::BuildPalette and before GifFile::EncodeImages.

#include "codec/FrameChanges.h"
#include "codec/GifFile.h"

namespace vantrel {

// The steps in order: CropToChangedPixels, OrderPaletteByUsage,
// SetTransparentIndices, then every record gets the smallest minimum code
// size that holds its largest index. A stop, asked before each step, leaves
// the file half reduced (to be dropped). changes holds what the steps learn
// of each record (the marks GifFile::EncodeImages may use after); changed
// columns found before for this file are used.
void ReduceAnimationSize(GifFile& gif, FrameChanges& changes, const StopCheck& stopped = {});

// Crops every record that lies at the same place with the same size as the
// record before it to the smallest rectangle holding the pixels whose colour
// differs from the previous record's, moves it there, and marks the pixels
// of that rectangle that did not change (RecordChanges::unchanged). A record
// where nothing changed keeps its size with every pixel marked. Records not
// compared (the first, and any of another place or size) show every pixel.
// A cropped record's pixels are let go: its indices and marks stand for them.
void CropToChangedPixels(GifFile& gif, FrameChanges& changes);

// Renumbers the palette so that the indices used (at changed pixels) by the
// most records come first, rewriting every record's indices and the global
// colour table. Unchanged pixels (marked in changes) do not count. A record
// with a colour table of its own is renumbered alone: the entries any of its
// pixels refers to come first, in their order, and its table shrinks to the
// smallest size that holds them.
void OrderPaletteByUsage(GifFile& gif, const FrameChanges& changes);

// Gives every record after the first that has unchanged pixels a
// transparent index: the lowest index none of its changed pixels uses. Its
// unchanged pixels get that index unless keeping their own colour's index
// is likely to compress better. When the index lies at or past the size of
// the record's colour table (its own or the global one), that table's size
// grows to include it.
void SetTransparentIndices(GifFile& gif, FrameChanges& changes);

}  // namespace vantrel
