#pragma once
// Floyd-Steinberg error diffusion: an alternative to the plain nearest-colour
// mapping of ColorQuantizer, for photographic pictures reduced to few colours.
//
// Run after ColorQuantizer::BuildPalette (which builds the palette and maps
// every record) and before ReduceAnimationSize: the records' indices are
// mapped again, rows in serpentine order (even rows from the left, odd rows
// from the right), each pixel's rounding error passed on 7/16 to the next
// pixel of its row and 3/16, 5/16, 1/16 to the three pixels below.
//
// Size reduction leaves out the pixels whose colour did not change from the
// previous record; so that what a viewer keeps there is what this record
// would show, such a pixel takes the previous record's index (when both
// records have the same place and size) and passes on no error.

#include <span>

#include "codec/GifFile.h"
#include "core/Pixel.h"

namespace vantrel {

// Maps every record that has pixels of its size and indices to palette
// (colours 0x00RRGGBB, the global colour table's entries) with error
// diffusion. Nothing happens with an empty palette. A stop leaves the
// records from there on as they were.
void DitherImages(GifFile& gif, std::span<const PixelValue> palette, const StopCheck& stopped = {});

}  // namespace vantrel
