#pragma once
// Colour tables of a record's own. When the frames of an animation differ in
// colour, each frame's own palette may show it truer than one palette shared
// by all; and a frame that uses few entries of the shared palette may take
// fewer bytes with just those as its own table, at fewer bits per pixel.

#include <cstdint>

#include "codec/ColorQuantizer.h"
#include "codec/FrameChanges.h"
#include "codec/GifFile.h"

namespace vantrel {

// Gives a record that has pixels of its size a colour table of its own made
// from its own colours, exactly as ColorQuantizer::BuildPalette makes the
// global one (exact when requested holds every colour, otherwise by
// method), and maps its pixels onto it: afterwards it has its local table
// and table size, its indices and its minimum code size. A record without
// such pixels is left as it is.
void BuildLocalPalette(GifImage& image, int requested, PaletteMethod method, ColorQuantizer& quantizer);

// A record of a file made smaller (after ReduceAnimationSize) as it would be
// with a colour table of its own holding just the entries of table that it
// refers to (by its indices, its transparent index and the colours of
// changes), in their order: own gets its place, delay, disposal and
// transparency, the renumbered indices, the table, its size and the
// minimum code size for it; ownChanges the marks of changes and its colours
// renumbered. What it shows stays the same. False, with nothing made, when
// those entries need no fewer bits per pixel than the record's code size.
bool NarrowToOwnTable(const GifImage& image, const ColorTable& table, const RecordChanges& changes, GifImage& own,
                      RecordChanges& ownChanges);

// The most bytes that writing data of dataBytes, written with LZW code size
// wide, with the narrower code size instead can save. Indices renumbered one
// to one give the same parse, and the codes are as wide in both streams
// except where the table has just grown past a power of two (a few codes
// later with the narrower size), in each round between clears, and in the
// clear and end codes; the count of codes is at most what fits in the data
// at the narrowest width.
std::size_t MostBytesSaved(int wide, int narrow, std::size_t dataBytes);

// How far a record's indices, shown through table, lie from its pixels: the
// sum over its pixels of the squared differences of red, green and blue.
// 0 for a record without pixels and indices of its size.
std::uint64_t MappingError(const GifImage& image, const ColorTable& table);

// The bytes a record's colour table and image data take in the file (its
// local table, the LZW data in sub-blocks of at most 255 bytes with their
// length bytes and the terminator), for comparing two encodings of it.
std::size_t RecordDataBytes(const GifImage& image);

}  // namespace vantrel
