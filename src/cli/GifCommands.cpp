// info and decode: the structure and the images of a GIF file.

#include <iostream>

#include "cli/Cli.h"
#include "cli/PngWriter.h"
#include "codec/GifFile.h"
#include "core/FileIO.h"
#include "document/FileFormats.h"

namespace vantrel::cli {

namespace {

// Reads a GIF file; on failure ends the command (kExitBadInput).
void LoadGif(const std::string& path, GifFile& gif) {
    if (const Status read = gif.ReadGifFile(path); !read)
        throw CommandFailure(kExitBadInput, AboutPath(path, read.message()));
}

int ColorsOf(bool present, int size) { return present ? size : 0; }

void PrintGifJson(const GifFile& gif) {
    JsonWriter json(std::cout);
    json.BeginObject()
        .BeginObject("screen")
        .Field("width", gif.screenWidth)
        .Field("height", gif.screenHeight)
        .EndObject()
        .Field("loopCount", gif.loopCount)
        .Field("animated", gif.animated)
        .Field("globalColors", ColorsOf(gif.globalColorTable.has_value(), gif.globalColorTableSize))
        .BeginArray("images");
    for (const GifImage& image : gif.images) {
        json.BeginObject()
            .Field("left", image.left)
            .Field("top", image.top)
            .Field("width", image.width)
            .Field("height", image.height)
            .Field("delay", image.delay)
            .Field("disposal", image.disposal)
            .Field("transparent", image.transparent)
            .Field("transparentIndex", image.transparentIndex)
            .Field("interlaced", image.interlaced)
            .Field("localColors", ColorsOf(image.localColorTable.has_value(), image.colorTableSize))
            .EndObject();
    }
    json.EndArray().EndObject();
    std::cout << '\n';
}

void PrintGifText(const GifFile& gif) {
    std::cout << "GIF" << gif.version.data() << ", logical screen " << gif.screenWidth << " x "
              << gif.screenHeight << "\n"
              << "loop count " << gif.loopCount << ", " << (gif.animated ? "animated" : "not animated")
              << ", global colour table "
              << ColorsOf(gif.globalColorTable.has_value(), gif.globalColorTableSize) << " colours\n"
              << gif.images.size() << (gif.images.size() == 1 ? " image\n" : " images\n");
    int number = 0;
    for (const GifImage& image : gif.images) {
        std::cout << "image " << ++number << ": " << image.width << " x " << image.height << " at "
                  << image.left << "," << image.top << ", delay " << image.delay << ", disposal "
                  << int(image.disposal) << ", transparent ";
        if (image.transparent)
            std::cout << "index " << int(image.transparentIndex);
        else
            std::cout << "no";
        std::cout << ", " << (image.interlaced ? "interlaced" : "not interlaced") << ", local colours "
                  << ColorsOf(image.localColorTable.has_value(), image.colorTableSize) << "\n";
    }
}

}  // namespace

int InfoCommand(std::span<const std::string> args) {
    Arguments a(args, {}, {"--json", "--document"});
    if (a.Positionals().size() != 1) return Fail(kExitUsage, "info takes one FILE");
    const std::string& path = a.Positionals()[0];
    // Every format but GIF opens only as a document.
    const FileFormat* format = FindFileFormat(path);
    const bool isDocument = format != nullptr && format->kind != FileKind::Gif;
    if (a.Has("--document") || isDocument) return DocumentInfo(path, a.Has("--json"));
    GifFile gif;
    LoadGif(path, gif);
    if (a.Has("--json"))
        PrintGifJson(gif);
    else
        PrintGifText(gif);
    return kExitOk;
}

int DecodeCommand(std::span<const std::string> args) {
    Arguments a(args, {}, {});
    if (a.Positionals().size() != 2) return Fail(kExitUsage, "decode takes FILE.gif OUTDIR");
    const std::string& path = a.Positionals()[0];
    const std::filesystem::path outDir = a.Positionals()[1];
    GifFile gif;
    LoadGif(path, gif);
    CheckNumberedOutputs(outDir, "image", gif.images.size(), "png", path);
    EnsureFolder(outDir);
    // One index buffer and one pixel buffer serve every image.
    std::vector<std::uint8_t> indices;
    PackedDib pixels;
    PngFolderWriter writer(outDir);
    std::size_t number = 0;
    for (const GifImage& image : gif.images) {
        ++number;
        if (!gif.DecodePixels(image, indices, pixels) || !pixels.HasBlock()) {
            std::cerr << "vantrel-cli: image " << number << " is empty (" << image.width << " x "
                      << image.height << "); no file written\n";
            continue;
        }
        const std::string name = NumberedName("image", number, "png");
        const Status written = writer.Write(name, pixels, PngAlpha::OnlyFullyTransparent);
        if (!written) return Fail(kExitBadOutput, written.message());
        std::cout << (outDir / name).string() << '\n';
    }
    if (const Status synced = writer.Finish(); !synced) return Fail(kExitBadOutput, synced.message());
    return kExitOk;
}

}  // namespace vantrel::cli
