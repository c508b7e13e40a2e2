#pragma once
// The system clipboard for the editor view, on QClipboard. Item packs go
// under the program's private MIME type; a PNG of the items (with
// transparency) goes beside them for other programs; an image another
// program placed there comes back as pixels.

#include <QString>

#include "view/ViewClipboard.h"

namespace vantrel {

// The private MIME type of item packs, named after kClipboardFormatName.
inline const QString kItemPackMimeType = QStringLiteral("application/x-vantrel-clipboard-format");

class AppClipboard final : public ViewClipboard {
public:
    void PutItems(const std::vector<std::uint8_t>& pack, const PackedDib& picture) override;
    bool HasItems() const override;
    bool HasImage() const override;
    std::optional<std::vector<std::uint8_t>> Items() const override;
    std::optional<std::pair<int, int>> ImageSize() const override;
    std::optional<PackedDib> Image() const override;
};

}  // namespace vantrel
