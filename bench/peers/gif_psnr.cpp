// How close one GIF's frames come to another's: both are read with giflib
// and composited as a viewer shows them, and the squared differences of the
// red, green and blue channels over every frame give one PSNR in dB.
//
// Usage: gif_psnr REFERENCE.gif TEST.gif   (prints "PSNR dB"; "inf" when equal)

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "GiflibCanvas.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gif_psnr REFERENCE.gif TEST.gif\n");
        return 1;
    }
    GifFileType* reference = peers::SlurpGif(argv[1], "gif_psnr");
    GifFileType* test = reference ? peers::SlurpGif(argv[2], "gif_psnr") : nullptr;
    int error = 0;
    if (test == nullptr) {
        if (reference) DGifCloseFile(reference, &error);
        return 2;
    }
    peers::GiflibCanvas a(*reference);
    peers::GiflibCanvas b(*test);
    int status = 0;
    if (a.Width() != b.Width() || a.Height() != b.Height() || reference->ImageCount != test->ImageCount) {
        std::fprintf(stderr, "gif_psnr: the files differ in screen size or frame count\n");
        status = 3;
    } else {
        double squared = 0;
        std::uint64_t channels = 0;
        for (int i = 0; i < reference->ImageCount; ++i) {
            a.Draw(i);
            b.Draw(i);
            for (std::size_t p = 0; p < a.Pixels().size(); ++p) {
                for (int shift : {0, 8, 16}) {
                    const double d = double((a.Pixels()[p] >> shift) & 0xFF) - double((b.Pixels()[p] >> shift) & 0xFF);
                    squared += d * d;
                }
                channels += 3;
            }
            a.Dispose();
            b.Dispose();
        }
        const double mse = squared / double(channels);
        if (mse == 0) std::printf("inf\n");
        else std::printf("%.2f\n", 10.0 * std::log10(255.0 * 255.0 / mse));
    }
    DGifCloseFile(reference, &error);
    DGifCloseFile(test, &error);
    return status;
}
