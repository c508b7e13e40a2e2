// The reference side of "open a GIF with every frame rendered": giflib's
// DGifSlurp reads and decodes the file, then every image is composited, with
// its disposal and transparency, into a 32-bit canvas of the logical screen,
// as a viewer shows the frames one after another.
//
// Usage: giflib_composite FILE.gif   (prints the frame count and a checksum)

#include <cstdint>
#include <cstdio>

#include "GiflibCanvas.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: giflib_composite FILE.gif\n");
        return 1;
    }
    GifFileType* gif = peers::SlurpGif(argv[1], "giflib_composite");
    if (gif == nullptr) return 2;
    peers::GiflibCanvas canvas(*gif);
    std::uint64_t checksum = 0;
    for (int i = 0; i < gif->ImageCount; ++i) {
        canvas.Draw(i);
        checksum += canvas.Pixels()[(std::size_t(i) * 7919) % canvas.Pixels().size()];
        canvas.Dispose();
    }
    std::printf("%d frames, checksum %llu\n", gif->ImageCount, static_cast<unsigned long long>(checksum));
    int error = 0;
    DGifCloseFile(gif, &error);
    return 0;
}
