#include "codec/LocalPalettes.h"

#include <algorithm>
#include <array>
#include <bit>

#include "codec/LzwEncoder.h"

namespace vantrel {

void BuildLocalPalette(GifImage& image, int requested, PaletteMethod method, ColorQuantizer& quantizer) {
    if (!HasPixelsOfItsSize(image)) return;
    // A file holding only a view of the record's pixels, for the palette builder.
    GifFile one;
    one.SetScreenSize(image.width, image.height);
    one.AddImageView(*image.Pixels());
    quantizer.BuildPalette(one, requested, method);
    GifImage& mapped = one.images.front();
    image.indices = std::move(mapped.indices);
    image.minimumCodeSize = mapped.minimumCodeSize;
    image.localColorTable = one.globalColorTable;
    image.colorTableSize = one.globalColorTableSize;
}

bool NarrowToOwnTable(const GifImage& image, const ColorTable& table, const RecordChanges& changes, GifImage& own,
                      RecordChanges& ownChanges) {
    std::array<bool, 256> used{};
    for (const std::uint8_t index : image.indices) used[index] = true;
    for (const std::uint8_t index : changes.colors) used[index] = true;
    if (image.transparent) used[image.transparentIndex] = true;
    std::array<std::uint8_t, 256> newIndex{};
    ColorTable ownTable{};
    int count = 0;
    for (std::size_t k = 0; k < used.size(); ++k) {
        if (!used[k]) continue;
        newIndex[k] = static_cast<std::uint8_t>(count);
        ownTable[static_cast<std::size_t>(count)] = table[k];
        ++count;
    }
    if (MinimumCodeSizeFor(count) >= image.minimumCodeSize) return false;
    own.delay = image.delay;
    own.disposal = image.disposal;
    own.transparent = image.transparent;
    own.transparentIndex = newIndex[image.transparentIndex];
    own.left = image.left;
    own.top = image.top;
    own.width = image.width;
    own.height = image.height;
    own.interlaced = image.interlaced;
    own.localColorTable = ownTable;
    own.colorTableSize = static_cast<std::uint16_t>(ColorTableSizeFor(count));
    own.minimumCodeSize = static_cast<std::uint8_t>(MinimumCodeSizeFor(count));
    const auto renumbered = [&newIndex](const std::vector<std::uint8_t>& indices) {
        std::vector<std::uint8_t> out(indices.size());
        for (std::size_t i = 0; i < indices.size(); ++i) out[i] = newIndex[indices[i]];
        return out;
    };
    own.indices = renumbered(image.indices);
    ownChanges.unchanged = changes.unchanged;
    ownChanges.colors = renumbered(changes.colors);
    return true;
}

std::size_t MostBytesSaved(int wide, int narrow, std::size_t dataBytes) {
    if (narrow >= wide) return 0;
    // The width of the code written after made entries since a clear.
    const auto width = [](int codeSize, std::size_t made) {
        const std::size_t next = (std::size_t{1} << codeSize) + 2 + made;
        return std::max(codeSize + 1, static_cast<int>(std::bit_width(next)));
    };
    // The bits saved on the first count codes after a clear.
    const auto savedOver = [&](std::size_t count) {
        std::uint64_t bits = 0;
        for (std::size_t made = 0; made < count; ++made) {
            bits += static_cast<std::uint64_t>(width(wide, made) - width(narrow, made));
        }
        return bits;
    };
    const std::size_t round = kLzwTableSize - (std::size_t{1} << wide) - 2;
    const std::size_t codes = dataBytes * 8 / static_cast<std::size_t>(wide + 1) + 1;
    const std::uint64_t rounds = codes / round;
    // And the clear code that begins each round, and the end code.
    const auto perCode = static_cast<std::uint64_t>(wide - narrow);
    const std::uint64_t bits =
        (rounds > 0 ? rounds * savedOver(round) : 0) + savedOver(codes % round) + (rounds + 2) * perCode;
    return static_cast<std::size_t>((bits + 7) / 8);
}

std::uint64_t MappingError(const GifImage& image, const ColorTable& table) {
    const std::size_t width = image.width;
    if (!HasPixelsOfItsSize(image) || image.indices.size() != width * image.height) return 0;
    std::uint64_t error = 0;
    for (int y = 0; y < image.height; ++y) {
        const PixelValue* row = image.Pixels()->Row(y);
        const std::uint8_t* indices = image.indices.data() + static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x) {
            const RgbTriple& shown = table[indices[x]];
            const int red = int{RedOf(row[x])} - shown.red;
            const int green = int{GreenOf(row[x])} - shown.green;
            const int blue = int{BlueOf(row[x])} - shown.blue;
            error += static_cast<std::uint64_t>(red * red + green * green + blue * blue);
        }
    }
    return error;
}

std::size_t RecordDataBytes(const GifImage& image) {
    constexpr std::size_t kSubBlock = 255;
    const std::size_t data = image.CompressedLength();
    const std::size_t table = image.localColorTable ? 3 * static_cast<std::size_t>(ColorTableSizeFor(image.colorTableSize)) : 0;
    return table + data + (data + kSubBlock - 1) / kSubBlock + 1;
}

}  // namespace vantrel
