#pragma once
// A viewer's canvas over a GIF that giflib's DGifSlurp has read: each image
// drawn with its transparency into a 32-bit canvas of the logical screen
// (0xFFRRGGBB), then disposed of as its control block says.

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace peers {

class GiflibCanvas {
public:
    explicit GiflibCanvas(const GifFileType& gif)
        : gif_(gif), width_(gif.SWidth), height_(gif.SHeight),
          canvas_(std::size_t(width_) * std::size_t(height_), 0) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<std::uint32_t>& Pixels() const { return canvas_; }

    // Draws image i over the canvas (as the viewer shows it until Dispose).
    void Draw(int i) {
        const SavedImage& image = gif_.SavedImages[i];
        control_ = GraphicsControlBlock{};
        control_.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(const_cast<GifFileType*>(&gif_), i, &control_);
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif_.SColorMap;
        std::uint32_t table[256] = {};
        if (map != nullptr) {
            for (int k = 0; k < map->ColorCount && k < 256; ++k) {
                const GifColorType& c = map->Colors[k];
                table[k] = 0xFF000000u | (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue;
            }
        }
        left_ = image.ImageDesc.Left;
        top_ = image.ImageDesc.Top;
        w_ = image.ImageDesc.Width;
        h_ = image.ImageDesc.Height;
        if (control_.DisposalMode == DISPOSE_PREVIOUS) saved_ = canvas_;
        for (int y = std::max(0, -top_); y < h_ && top_ + y < height_; ++y) {
            const GifByteType* row = image.RasterBits + std::size_t(y) * std::size_t(w_);
            std::uint32_t* out = canvas_.data() + std::size_t(top_ + y) * std::size_t(width_);
            for (int x = std::max(0, -left_); x < w_ && left_ + x < width_; ++x) {
                if (row[x] != control_.TransparentColor) out[left_ + x] = table[row[x]];
            }
        }
    }

    // Disposes of the image drawn last.
    void Dispose() {
        if (control_.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = std::max(0, top_); y < top_ + h_ && y < height_; ++y)
                std::fill(canvas_.begin() + std::ptrdiff_t(y) * width_ + std::max(0, left_),
                          canvas_.begin() + std::ptrdiff_t(y) * width_ + std::min(width_, left_ + w_), 0u);
        } else if (control_.DisposalMode == DISPOSE_PREVIOUS && !saved_.empty()) {
            canvas_.swap(saved_);
        }
    }

private:
    const GifFileType& gif_;
    int width_;
    int height_;
    std::vector<std::uint32_t> canvas_;
    std::vector<std::uint32_t> saved_;
    GraphicsControlBlock control_{};
    int left_ = 0, top_ = 0, w_ = 0, h_ = 0;
};

// Opens and slurps path; null (with the reason on standard error) when giflib refuses it.
inline GifFileType* SlurpGif(const char* path, const char* tool) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path, &error);
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
        std::fprintf(stderr, "%s: %s: %s\n", tool, path, GifErrorString(gif ? gif->Error : error));
        if (gif) DGifCloseFile(gif, &error);
        return nullptr;
    }
    return gif;
}

}  // namespace peers
