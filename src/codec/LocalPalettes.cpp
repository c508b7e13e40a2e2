#include "codec/LocalPalettes.h"

namespace vantrel {

bool BuildLocalPalette(GifImage& image, int requested, PaletteMethod method, ColorQuantizer& quantizer,
                       const std::function<bool(int colors)>& wanted) {
    if (!HasPixelsOfItsSize(image)) return false;
    // A file holding only a view of the record's pixels, for the palette builder.
    GifFile one;
    one.SetScreenSize(image.width, image.height);
    one.AddImageView(*image.Pixels());
    if (!wanted(quantizer.CountDistinctColors(one))) return false;
    quantizer.BuildPalette(one, requested, method);
    GifImage& mapped = one.images.front();
    image.indices = std::move(mapped.indices);
    image.minimumCodeSize = mapped.minimumCodeSize;
    image.localColorTable = one.globalColorTable;
    image.colorTableSize = one.globalColorTableSize;
    return true;
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
