#pragma once
// What an undo must give back: the document's file bytes and every rendered frame.

#include <cstdint>
#include <vector>

#include "../document/DocTestUtil.h"
#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"

namespace vantrel::test {

struct Snapshot {
    std::vector<std::uint8_t> bytes;
    std::vector<std::vector<std::uint8_t>> frames;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

inline Snapshot Take(const CQVDoc& doc) {
    Snapshot s{*DocumentBytes(doc), {}};
    for (const auto& frame : doc.GetAnimation().Frames()) s.frames.push_back(PixelsOf(frame->Image()));
    return s;
}

}  // namespace vantrel::test
