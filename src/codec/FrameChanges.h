#pragma once
// Where each image of an animation differs from the one before it. Most
// frames of an animation change in a small part only; knowing for each row
// the columns that changed lets colour counting, palette mapping and size
// reduction skip the rest, which shows the previous image's colours.
//
// What is learnt is kept beside the file, not in it: a FrameChanges holds
// one entry per record, in file order, for one run of the writer (whoever
// runs an export owns it and hands it to each step).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/GifFile.h"

namespace vantrel {

// Columns [first, end) of one row of an image.
struct ColumnSpan {
    std::uint16_t first = 0;
    std::uint16_t end = 0;
    bool Empty() const { return first >= end; }
};

// What the writer's steps know of one record beyond the record itself.
struct RecordChanges {
    // For a record compared with the one before it (same place and size),
    // one span per row holding every pixel whose colour differs from the
    // previous record's; its first and last pixels differ. Empty when not
    // compared. The record's pixels must not change after.
    std::vector<ColumnSpan> changedColumns;
    // After size reduction: 1 for each index whose pixel shows the colour
    // the previous record left there, 0 for the others; empty when every
    // pixel is shown.
    std::vector<std::uint8_t> unchanged;
    // After size reduction, for a record some of whose unchanged pixels took
    // its transparent index: every pixel's colour index from before; empty
    // otherwise.
    std::vector<std::uint8_t> colors;
};

class FrameChanges {
public:
    // The entry of record i; an empty one for a record not yet seen.
    const RecordChanges& Of(std::size_t record) const;
    // The entry of record i to fill, made when missing.
    RecordChanges& At(std::size_t record);
    // Whether record i of gif was compared with the record before it.
    bool HasChangedColumns(const GifFile& gif, std::size_t record) const;
    // Forgets everything (for another run over another file).
    void Clear() { records_.clear(); }

private:
    std::vector<RecordChanges> records_;
};

// Fills the changed columns of every record of gif that has pixels of its
// size, lies at the same place with the same size as the record before it,
// and has none yet. Colours are compared; transparency bytes are ignored.
void FindChangedColumns(const GifFile& gif, FrameChanges& changes);

// Whether two records lie at the same place with the same size.
bool SamePlace(const GifImage& a, const GifImage& b);

}  // namespace vantrel
