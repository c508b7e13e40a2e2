// Writes the four animations the whole-process comparison runs on, with
// giflib's encoder, so that both programs read files neither of them made:
//   banner.gif  flat colours, 468 x 60, 24 frames
//   photo.gif   a photographic picture panning, 400 x 300, 30 frames, one 256-colour table
//   tiles.gif   flat tiles with noise, 1200 x 1200, 12 frames
//   screen.gif  a still 800 x 600 screen with a small changing region, 40 frames
// and for the memory comparison (bench/memory.sh)
//   tiles20.gif the tiles, 20 frames
// Every frame is a whole screen, as a simple recorder writes it.
//
// Usage: make_animations OUTDIR

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using Indices = std::vector<std::uint8_t>;

// The raw output of the standard Mersenne Twister is the same everywhere.
class Sequence {
public:
    explicit Sequence(std::uint32_t seed) : engine_(seed) {}
    std::uint32_t Next() { return static_cast<std::uint32_t>(engine_() >> 8); }

private:
    std::mt19937 engine_;
};

struct Animation {
    int width = 0;
    int height = 0;
    std::vector<GifColorType> palette;  // 2 to 256 entries, a power of two
    std::vector<Indices> frames;
    int delay = 10;
};

bool Write(const Animation& a, const std::string& path) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (gif == nullptr) return false;
    EGifSetGifVersion(gif, true);
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(a.palette.size()), a.palette.data());
    bool ok = map != nullptr && EGifPutScreenDesc(gif, a.width, a.height, 8, 0, map) == GIF_OK;
    const unsigned char netscape[] = "NETSCAPE2.0";
    const unsigned char loop[] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, netscape) == GIF_OK && EGifPutExtensionBlock(gif, 3, loop) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
    for (const Indices& frame : a.frames) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.DelayTime = a.delay;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, a.width, a.height, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < a.height; ++y) {
            ok = EGifPutLine(gif, const_cast<GifPixelType*>(frame.data() + std::size_t(y) * std::size_t(a.width)),
                             a.width) == GIF_OK;
        }
    }
    if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
    GifFreeMapObject(map);
    return ok;
}

GifColorType Rgb(int r, int g, int b) {
    return {static_cast<GifByteType>(r), static_cast<GifByteType>(g), static_cast<GifByteType>(b)};
}

void Fill(Indices& pixels, int width, int x0, int y0, int w, int h, std::uint8_t index) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = index;
}

Animation Banner() {
    Animation a;
    a.width = 468;
    a.height = 60;
    a.palette = {Rgb(255, 255, 255), Rgb(0, 51, 153), Rgb(255, 204, 0), Rgb(204, 0, 0),
                 Rgb(0, 0, 0),       Rgb(102, 153, 255), Rgb(0, 153, 51), Rgb(240, 240, 240)};
    for (int i = 0; i < 24; ++i) {
        Indices p(std::size_t(a.width) * std::size_t(a.height), 0);
        Fill(p, a.width, 0, 0, 468, 60, 1);
        Fill(p, a.width, 2, 2, 464, 56, 7);
        // "Text": blocks of letter-like strokes that appear one by one.
        for (int letter = 0; letter < i && letter < 16; ++letter) {
            const int x = 20 + letter * 18;
            Fill(p, a.width, x, 15, 4, 30, 4);
            Fill(p, a.width, x, 15, 12, 4, 4);
            if (letter % 2 == 0) Fill(p, a.width, x, 28, 10, 4, 4);
        }
        // A sliding bar and a blinking button.
        Fill(p, a.width, (i * 17) % 400, 50, 60, 6, 2);
        Fill(p, a.width, 380, 12, 70, 36, i % 2 == 0 ? 3 : 6);
        Fill(p, a.width, 390, 22, 50, 16, 5);
        a.frames.push_back(std::move(p));
    }
    return a;
}

Animation Photo() {
    Animation a;
    a.width = 400;
    a.height = 300;
    for (int i = 0; i < 256; ++i) a.palette.push_back(Rgb((i >> 5) * 255 / 7, ((i >> 2) & 7) * 255 / 7, (i & 3) * 85));
    // A picture wider and taller than the screen: smooth shapes, texture and
    // grain, ordered-dithered into the 8 x 8 x 4 colour cube.
    const int pw = 700;
    const int ph = 400;
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    Sequence random(3);
    Indices picture(std::size_t(pw) * std::size_t(ph));
    for (int y = 0; y < ph; ++y) {
        for (int x = 0; x < pw; ++x) {
            const double fx = x / 70.0;
            const double fy = y / 55.0;
            const double grain = static_cast<double>(random.Next() % 24) - 12.0;
            const double r = 128 + 90 * std::sin(fx) * std::cos(fy * 0.7) + grain;
            const double g = 120 + 80 * std::sin(fx * 0.5 + fy) + 30 * std::sin(x / 9.0) + grain;
            const double b = 110 + 100 * std::cos(fy * 1.3 - fx * 0.4) + grain;
            const double d = (kBayer[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
            auto level = [d](double v, int steps) {
                const double s = std::clamp(v, 0.0, 255.0) / 255.0 * (steps - 1) + d;
                return static_cast<int>(std::clamp(std::lround(s), 0L, static_cast<long>(steps - 1)));
            };
            picture[std::size_t(y) * std::size_t(pw) + std::size_t(x)] =
                static_cast<std::uint8_t>((level(r, 8) << 5) | (level(g, 8) << 2) | level(b, 4));
        }
    }
    for (int i = 0; i < 30; ++i) {
        Indices p(std::size_t(a.width) * std::size_t(a.height));
        const int ox = i * 9;
        const int oy = i * 3;
        for (int y = 0; y < a.height; ++y) {
            const std::uint8_t* from = picture.data() + std::size_t(y + oy) * std::size_t(pw) + std::size_t(ox);
            std::copy(from, from + a.width, p.begin() + std::ptrdiff_t(y) * a.width);
        }
        a.frames.push_back(std::move(p));
    }
    return a;
}

Animation Tiles(int frames) {
    Animation a;
    a.width = 1200;
    a.height = 1200;
    for (int i = 0; i < 64; ++i) a.palette.push_back(Rgb((i * 53) & 0xFF, (i * 97) & 0xFF, (i * 29 + 40) & 0xFF));
    Sequence random(5);
    const int tile = 60;
    std::vector<std::uint8_t> colours(std::size_t(20 * 20));
    for (auto& c : colours) c = static_cast<std::uint8_t>(random.Next() % 60);
    for (int i = 0; i < frames; ++i) {
        for (int k = 0; k < 40; ++k) colours[random.Next() % colours.size()] = static_cast<std::uint8_t>(random.Next() % 60);
        Indices p(std::size_t(a.width) * std::size_t(a.height));
        for (int ty = 0; ty < 20; ++ty)
            for (int tx = 0; tx < 20; ++tx)
                Fill(p, a.width, tx * tile, ty * tile, tile, tile, colours[std::size_t(ty * 20 + tx)]);
        // Noise: a few per cent of the pixels take one of four grain colours.
        for (int n = 0; n < a.width * a.height / 40; ++n)
            p[random.Next() % p.size()] = static_cast<std::uint8_t>(60 + random.Next() % 4);
        a.frames.push_back(std::move(p));
    }
    return a;
}

Animation Screen() {
    Animation a;
    a.width = 800;
    a.height = 600;
    for (int i = 0; i < 16; ++i) a.palette.push_back(Rgb(i * 17, i * 17, std::min(255, i * 17 + 30)));
    Indices desktop(std::size_t(a.width) * std::size_t(a.height), 12);
    Fill(desktop, a.width, 0, 0, 800, 24, 3);             // title bar
    Fill(desktop, a.width, 0, 24, 180, 576, 14);          // side panel
    Fill(desktop, a.width, 200, 60, 560, 500, 15);        // window
    Sequence random(9);
    for (int line = 0; line < 40; ++line) {                // text lines: short dark strokes
        const int y = 80 + line * 12;
        for (int x = 220; x < 220 + 20 + static_cast<int>(random.Next() % 500); x += 6)
            if (random.Next() % 5 != 0) Fill(desktop, a.width, x, y, 4, 7, 1);
    }
    for (int i = 0; i < 40; ++i) {
        Indices p = desktop;
        // A progress bar and a spinner in a 140 x 60 corner of the window.
        Fill(p, a.width, 600, 480, 140, 60, 13);
        Fill(p, a.width, 610, 520, 3 * i, 10, 5);
        const int angle = i % 8;
        Fill(p, a.width, 620 + (angle % 4) * 8, 488 + (angle / 4) * 8, 8, 8, 0);
        // A blinking text cursor.
        if (i % 2 == 0) Fill(p, a.width, 240 + i * 6, 80 + 12 * 20, 2, 9, 0);
        a.frames.push_back(std::move(p));
    }
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_animations OUTDIR\n");
        return 1;
    }
    const std::string dir = argv[1];
    const struct {
        const char* name;
        Animation (*make)();
    } kAnimations[] = {{"banner.gif", Banner},
                       {"photo.gif", Photo},
                       {"tiles.gif", [] { return Tiles(12); }},
                       {"screen.gif", Screen},
                       // for the memory comparison: the largest canvas, 20 frames
                       {"tiles20.gif", [] { return Tiles(20); }}};
    for (const auto& entry : kAnimations) {
        if (!Write(entry.make(), dir + "/" + entry.name)) {
            std::fprintf(stderr, "make_animations: cannot write %s/%s\n", dir.c_str(), entry.name);
            return 1;
        }
    }
    return 0;
}
