#pragma once
// Colour tables of a record's own. When the frames of an animation differ in
// colour, each frame's own palette may show it truer than one palette shared
// by all, and a frame of few colours may need fewer bits per pixel than the
// shared palette: the exporter weighs both per record.

#include <cstdint>
#include <functional>

#include "codec/ColorQuantizer.h"
#include "codec/GifFile.h"

namespace vantrel {

// Counts the distinct colours of a record that has pixels of its size (as
// ColorQuantizer::CountDistinctColors does: above 256 the count is
// ColorQuantizer::kMoreThanMaxColors) and, when wanted says so for that
// count, gives it a colour table of its own made from its own colours,
// exactly as ColorQuantizer::BuildPalette makes the global one (exact when
// requested holds every colour, otherwise by method), and maps its pixels
// onto it: afterwards it has its local table and table size, its indices and
// its minimum code size. Returns whether it did; a record without such pixels
// is left as it is.
bool BuildLocalPalette(GifImage& image, int requested, PaletteMethod method, ColorQuantizer& quantizer,
                       const std::function<bool(int colors)>& wanted);

// How far a record's indices, shown through table, lie from its pixels: the
// sum over its pixels of the squared differences of red, green and blue.
// 0 for a record without pixels and indices of its size.
std::uint64_t MappingError(const GifImage& image, const ColorTable& table);

// The bytes a record's colour table and image data take in the file (its
// local table, the LZW data in sub-blocks of at most 255 bytes with their
// length bytes and the terminator), for comparing two encodings of it.
std::size_t RecordDataBytes(const GifImage& image);

}  // namespace vantrel
