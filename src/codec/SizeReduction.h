#pragma once
// Animation size reduction: shrinks an animation whose records all hold
// full-frame images mapped to one palette, without changing what a viewer
// shows. Every record keeps disposal 0, so a viewer leaves the previous image
// in place and draws the next one over it; pixels that did not change are
// therefore made transparent or left out.
//
// Run after ColorQuantizer::BuildPalette and before GifFile::EncodeImages.

#include "codec/GifFile.h"

namespace vantrel {

// The passes in order: MarkUnchangedPixels, CropToChangedPixels,
// OrderPaletteByUsage, SetTransparentIndices, SetMinimumCodeSizes. A stop,
// asked before each pass, leaves the file half reduced (to be dropped).
void ReduceAnimationSize(GifFile& gif, const StopCheck& stopped = {});

// Makes every pixel opaque (a GIF written without reduction shows every
// pixel's colour, so transparency bytes from rendering mean nothing here),
// then marks each pixel whose colour equals the pixel at the same place of
// the previous record as transparent (colour kept). A pair of records whose
// positions or sizes differ is not compared.
void MarkUnchangedPixels(GifFile& gif);

// Crops every record after the first to the smallest rectangle holding its
// opaque pixels and moves it there; a record without opaque pixels stays as it is.
void CropToChangedPixels(GifFile& gif);

// Renumbers the palette so that the indices used (at opaque pixels) by the
// most records come first, rewriting every record's indices and the global
// colour table.
void OrderPaletteByUsage(GifFile& gif);

// Gives every record after the first that has transparent pixels a
// transparent index: the lowest index none of its opaque pixels uses. Its
// transparent pixels get that index unless keeping their own colour's index
// is likely to compress better. When the index lies at or past the global
// colour table's size, the table size grows to include it.
void SetTransparentIndices(GifFile& gif);

// Every record gets the smallest minimum code size that holds its largest index.
void SetMinimumCodeSizes(GifFile& gif);

}  // namespace vantrel
