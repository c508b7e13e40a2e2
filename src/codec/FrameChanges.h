#pragma once
// Where each image of an animation differs from the one before it. Most
// frames of an animation change in a small part only; knowing for each row
// the columns that changed lets colour counting, palette mapping and size
// reduction skip the rest, which shows the previous image's colours.

#include "codec/GifFile.h"

namespace vantrel {

// Fills changedColumns of every record that has pixels of its size, lies at
// the same place with the same size as the record before it, and has none
// yet. Colours are compared; transparency bytes are ignored.
void FindChangedColumns(GifFile& gif);

// Whether two records lie at the same place with the same size.
bool SamePlace(const GifImage& a, const GifImage& b);

// Whether the record was compared with the record before it.
bool HasChangedColumns(const GifImage& image);

}  // namespace vantrel
