#pragma once
// The system clipboard as the editor view sees it: items travel as an item
// pack under the program's private format; pictures of the selection go
// out beside it for other programs, and pictures from other programs come
// in as images. The windowing layer implements it; tests keep it in memory.

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/PackedDib.h"

namespace vantrel {

// The name of the private clipboard format of item packs.
inline constexpr const char* kClipboardFormatName = "Vantrel Clipboard Format";

class ViewClipboard {
public:
    virtual ~ViewClipboard() = default;
    // Replaces the clipboard's contents with an item pack and a picture of
    // the same items (32-bit, with transparency).
    virtual void PutItems(const std::vector<std::uint8_t>& pack, const PackedDib& picture) = 0;
    virtual bool HasItems() const = 0;
    virtual bool HasImage() const = 0;
    // The item pack, or none when the clipboard holds none.
    virtual std::optional<std::vector<std::uint8_t>> Items() const = 0;
    // The width and height of the image on the clipboard, or none; asked
    // before Image(), so that a picture too large is refused unconverted.
    virtual std::optional<std::pair<int, int>> ImageSize() const = 0;
    // An image put there by another program, or none.
    virtual std::optional<PackedDib> Image() const = 0;
};

}  // namespace vantrel
