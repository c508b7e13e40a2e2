// The reference side of "open a GIF with every frame rendered": giflib's
// DGifSlurp reads and decodes the file, then every image is composited, with
// its disposal and transparency, into a 32-bit canvas of the logical screen,
// as a viewer shows the frames one after another.
//
// Usage: giflib_composite FILE.gif   (prints the frame count and a checksum)

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: giflib_composite FILE.gif\n");
        return 1;
    }
    int error = 0;
    GifFileType* gif = DGifOpenFileName(argv[1], &error);
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
        std::fprintf(stderr, "giflib_composite: %s\n", GifErrorString(gif ? gif->Error : error));
        if (gif) DGifCloseFile(gif, &error);
        return 2;
    }
    const int width = gif->SWidth;
    const int height = gif->SHeight;
    std::vector<std::uint32_t> canvas(std::size_t(width) * std::size_t(height), 0);
    std::vector<std::uint32_t> saved;
    std::uint64_t checksum = 0;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &control);
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        std::uint32_t table[256] = {};
        if (map != nullptr) {
            for (int k = 0; k < map->ColorCount && k < 256; ++k) {
                const GifColorType& c = map->Colors[k];
                table[k] = 0xFF000000u | (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue;
            }
        }
        const int left = image.ImageDesc.Left;
        const int top = image.ImageDesc.Top;
        const int w = image.ImageDesc.Width;
        const int h = image.ImageDesc.Height;
        if (control.DisposalMode == DISPOSE_PREVIOUS) saved = canvas;
        for (int y = std::max(0, -top); y < h && top + y < height; ++y) {
            const GifByteType* row = image.RasterBits + std::size_t(y) * std::size_t(w);
            std::uint32_t* out = canvas.data() + std::size_t(top + y) * std::size_t(width);
            for (int x = std::max(0, -left); x < w && left + x < width; ++x) {
                if (row[x] != control.TransparentColor) out[left + x] = table[row[x]];
            }
        }
        checksum += canvas[(std::size_t(i) * 7919) % canvas.size()];
        if (control.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = std::max(0, top); y < top + h && y < height; ++y)
                std::fill(canvas.begin() + std::ptrdiff_t(y) * width + std::max(0, left),
                          canvas.begin() + std::ptrdiff_t(y) * width + std::min(width, left + w), 0u);
        } else if (control.DisposalMode == DISPOSE_PREVIOUS && !saved.empty()) {
            canvas.swap(saved);
        }
    }
    std::printf("%d frames, checksum %llu\n", gif->ImageCount, static_cast<unsigned long long>(checksum));
    DGifCloseFile(gif, &error);
    return 0;
}
