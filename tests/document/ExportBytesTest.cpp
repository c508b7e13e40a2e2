// The bytes the exporters write for a fixed set of documents, compared with
// hashes recorded from an earlier build. Speed work on decoding, rendering,
// quantising, size reduction and LZW encoding must leave every byte as it was;
// a change here means an output change, to be made on purpose or not at all.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <memory>
#include <vector>

#include "core/FileIO.h"
#include "document/BitmapItem.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "document/DocumentFileFixtures.h"
#include "document/EllipseItem.h"
#include "document/Export.h"
#include "codec/GifEncoderFixtures.h"
#include "support/GiflibRef.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using test::RefGif;
using test::RefImage;

// 64-bit FNV-1a.
class Fnv1a {
public:
    void Add(std::uint8_t byte) { hash_ = (hash_ ^ byte) * 0x100000001b3ull; }
    void Add(std::uint32_t word) {
        for (int shift = 0; shift < 32; shift += 8) Add(static_cast<std::uint8_t>(word >> shift));
    }
    std::uint64_t Value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

// The hashes of a written file: of its bytes, and of what a viewer shows
// (every frame as giflib decodes and composes it, with its delay).
struct FileHashes {
    std::uint64_t bytes = 0;
    std::uint64_t shown = 0;
};

FileHashes HashesOfFile(const std::filesystem::path& path) {
    const auto bytes = ReadFileBytes(path);
    EXPECT_TRUE(bytes.ok()) << path;
    if (!bytes) return {};
    Fnv1a ofBytes;
    for (std::uint8_t b : *bytes) ofBytes.Add(b);
    const auto decoded = test::DecodeWithGiflib(*bytes);
    EXPECT_TRUE(decoded.has_value()) << path;
    if (!decoded) return {ofBytes.Value(), 0};
    Fnv1a shown;
    const auto frames = test::writer::CompositeFrames(*decoded);
    for (std::size_t f = 0; f < frames.size(); ++f) {
        shown.Add(static_cast<std::uint32_t>(decoded->images[f].delay));
        for (const PixelValue pixel : frames[f]) shown.Add(static_cast<std::uint32_t>(pixel));
    }
    return {ofBytes.Value(), shown.Value()};
}

// A small deterministic pseudo-random sequence, the same on every machine.
class Sequence {
public:
    explicit Sequence(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }

private:
    std::uint32_t state_;
};

std::vector<RgbTriple> GradientPalette(int size) {
    std::vector<RgbTriple> palette(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i) {
        palette[std::size_t(i)] = {static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(255 - i),
                                   static_cast<std::uint8_t>(i * i)};
    }
    return palette;
}

// A banner-like GIF: flat colours, sub-images, every disposal method,
// transparency, an interlaced image and a local colour table.
std::vector<std::uint8_t> FlatBannerGif() {
    RefGif gif;
    gif.screenWidth = 96;
    gif.screenHeight = 40;
    gif.globalColors = GradientPalette(16);
    gif.loopCount = 0;
    Sequence random(7);
    for (int i = 0; i < 8; ++i) {
        RefImage image;
        image.hasControl = true;
        image.delay = 5 + i;
        image.disposal = i % 4;
        image.transparentIndex = i % 3 == 1 ? 3 : -1;
        image.left = i == 0 ? 0 : 4 * i;
        image.top = i == 0 ? 0 : i;
        image.width = i == 0 ? 96 : 40 + i;
        image.height = i == 0 ? 40 : 20;
        image.interlaced = i == 5;
        if (i == 6) image.localColors = GradientPalette(8);
        const int colours = i == 6 ? 8 : 16;
        image.indices.resize(std::size_t(image.width) * std::size_t(image.height));
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const int band = ((x / 7) + (y / 5) + i) % colours;
                image.indices[std::size_t(y * image.width + x)] =
                    static_cast<std::uint8_t>(random.Next() % 23 == 0 ? random.Next() % colours : band);
            }
        }
        gif.images.push_back(std::move(image));
    }
    auto bytes = test::EncodeWithGiflib(gif);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(std::vector<std::uint8_t>{});
}

// A photographic GIF: full frames of a smooth picture under one 256-colour
// table, panning by a few pixels a frame.
std::vector<std::uint8_t> PanningPhotoGif() {
    RefGif gif;
    gif.screenWidth = 80;
    gif.screenHeight = 60;
    for (int i = 0; i < 256; ++i) {
        gif.globalColors.push_back({static_cast<std::uint8_t>((i >> 5) * 36), static_cast<std::uint8_t>(((i >> 2) & 7) * 36),
                                    static_cast<std::uint8_t>((i & 3) * 85)});
    }
    gif.loopCount = 2;
    Sequence random(11);
    for (int i = 0; i < 5; ++i) {
        RefImage image;
        image.hasControl = true;
        image.delay = 8;
        image.width = 80;
        image.height = 60;
        image.indices.resize(80 * 60);
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 80; ++x) {
                const int u = x + 3 * i;
                const int v = y + i;
                const int value = (u * u / 7 + v * 5 + (u * v) / 11 + static_cast<int>(random.Next() % 5)) & 0xFF;
                image.indices[std::size_t(y * 80 + x)] = static_cast<std::uint8_t>(value);
            }
        }
        gif.images.push_back(std::move(image));
    }
    auto bytes = test::EncodeWithGiflib(gif);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(std::vector<std::uint8_t>{});
}

// A document built from items: a bitmap of more than 256 colours, boxes and
// ellipses of every style, a master frame and frames over earlier frames.
std::unique_ptr<CQVDoc> ShapesDocument() {
    auto doc = std::make_unique<CQVDoc>();
    Animation& animation = doc->GetAnimation();
    animation.SetSize(150, 90);
    const Rect canvas = animation.Canvas();
    AnimFrame* first = animation.FirstFrame();
    first->backgroundColor = 0x00204060;
    PackedDib picture;
    picture.SetSize(70, 50);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 70; ++x)
            picture.Row(y)[x] = MakePixel(static_cast<std::uint8_t>(x * 3), static_cast<std::uint8_t>(y * 5),
                                          static_cast<std::uint8_t>((x * y) & 0xFF), 0);
    }
    auto bitmap = BitmapItem::FromImage(std::move(picture), false);
    bitmap->MoveTo(canvas.left + 10, canvas.top + 5);
    first->AppendItem(std::move(bitmap));
    first->AppendItem(test::StyledBox({canvas.left + 60, canvas.top + 30, canvas.left + 120, canvas.top + 80},
                                      {0x00FF0000, 0x000000FF, 3, 2, BoxLineStyle::Vertical}));

    AnimFrame* master = animation.AppendFrame();
    master->isMaster = true;
    master->AppendItem(test::StyledEllipse({canvas.left, canvas.top, canvas.left + 40, canvas.top + 40},
                                           {0x0000FF00, true}));

    AnimFrame* second = animation.AppendFrame();
    second->duration = 30;
    second->AppendItem(test::StyledEllipse({canvas.left + 20, canvas.top + 20, canvas.left + 90, canvas.top + 70},
                                           {0x40808000, false}));
    second->AppendItem(test::PatternBitmap(canvas.left + 100, canvas.top + 10, 30, 20, true));
    second->SetBackgroundFrame(first);

    AnimFrame* third = animation.AppendFrame();
    third->duration = 40;
    third->AppendItem(test::StyledBox({canvas.left + 5, canvas.top + 60, canvas.left + 145, canvas.top + 85},
                                      {0x00FFFFFF, 0x00808000, 0, 5, BoxLineStyle::Solid}));
    third->SetBackgroundFrame(second);
    animation.RenderAll();
    return doc;
}

// The hashes were recorded with the classic median cut, which every export
// here asks for by name (the dialog's defaults otherwise).
GifOptionsChooser ClassicDefaults(bool onePalette = false) {
    return [onePalette](const GifExportRequest& request) -> std::optional<GifExportOptions> {
        GifExportOptions options = DefaultGifExportOptions(request.distinctColors);
        options.quantizer = PaletteMethod::MedianCut;
        options.onePalette = onePalette;
        return options;
    };
}

GifExportOptions FixedOptions(bool reduce, int colours, bool sizeReduction, bool onePalette) {
    GifExportOptions options;
    options.quantizer = PaletteMethod::MedianCut;
    options.reduce = reduce;
    options.colorCount = colours;
    options.sizeReduction = sizeReduction;
    options.onePalette = onePalette;
    return options;
}

// The hashes of the files made before images could have palettes of their
// own are those of one palette; where own palettes change a file, it is
// recorded both ways.
GifOptionsChooser Fixed(bool reduce, int colours, bool sizeReduction, bool onePalette = false) {
    const GifExportOptions options = FixedOptions(reduce, colours, sizeReduction, onePalette);
    return [=](const GifExportRequest&) -> std::optional<GifExportOptions> { return options; };
}

struct Expected {
    const char* name;
    std::uint64_t hash;
    std::uint64_t shown;  // what a viewer shows of it (HashesOfFile)
};

// Recorded from the exporters before any speed change; the byte hashes
// again when the encoder learnt to try several parses and uses of a full
// string table per image, and once more when it learnt to choose among them
// by the share of unchanged pixels and the record's size (what every file
// shows stayed the same). A name ending in "-own" is the export before it
// with images allowed palettes of their own, recorded when that came: those
// that lose colour to one palette show truer so (ExportOwnPalettes), and are
// pinned with one palette too.
const Expected kExpected[] = {
    {"banner-as-opened", 0x2e7d3775bda3da08ull, 0x5d7dfaac893fd76ull},  // the same bytes as rendering first
    {"banner-default", 0x2e7d3775bda3da08ull, 0x5d7dfaac893fd76ull},
    {"banner-plain", 0x2d61da3c70596ad7ull, 0x5d7dfaac893fd76ull},
    {"banner-4", 0xb2855b55e7719dc0ull, 0x29711aec1f2cdcedull},
    {"banner-4-own", 0x401011f5f6892ec7ull, 0x1b3d17deb16dad5cull},
    {"banner-frame3", 0x48685afefca9a28dull, 0x94f8a047b988e235ull},
    // Exactly 256 colours keep their exact palette by default; with all of
    // them in every frame nothing is left for transparency, so the file is
    // the plain one. photo-128 pins what the default wrote before.
    {"photo-as-opened", 0x5a0ba1a02ab2bd96ull, 0xeb1969a44107037ull},
    {"photo-default", 0x5a0ba1a02ab2bd96ull, 0xeb1969a44107037ull},
    {"photo-128", 0x4b3510c0a2e4fa34ull, 0x491e54e941576689ull},
    {"photo-128-own", 0xb5d07bb46a0f983ull, 0x8971ba6f6b7b0bddull},
    {"photo-plain", 0x5a0ba1a02ab2bd96ull, 0xeb1969a44107037ull},
    {"photo-64", 0x4fed311130e8329ull, 0x8d6b9f261aec993cull},
    {"photo-64-own", 0x37fbf29b9d9f3b9bull, 0x8a139d15b58ea370ull},
    {"shapes-default", 0xbbecb4cca3a08164ull, 0x42308a6ec602af6bull},
    {"shapes-default-own", 0x5aaa6aed0781afd3ull, 0x99c24ee3ffc4de03ull},
    {"shapes-plain", 0xeb7de9ffe9a70ef6ull, 0x42308a6ec602af6bull},
    {"shapes-8", 0xabba2980d1e068ecull, 0xa7d0014ba4d1f027ull},
    {"shapes-plain-own", 0x9944ce2e8084729cull, 0xb2ec55db8707de4full},
    // Where images have palettes of their own, an unchanged pixel the
    // encoder gives back its own colour shows this image's mapping of it,
    // not the image's before: what such a file shows follows the encoder's
    // choices (the preview is drawn from the file, so it follows too).
    {"shapes-8-own", 0xbfcb2f0c836d2b0bull, 0x9f336e53e743f783ull},
    {"shapes-frame3", 0x5d876a0f75400be2ull, 0xa00c84f09ffa8b85ull},
    {"rich-default", 0x7fd023ad6fbfcbf4ull, 0x451473b71c1a6fd3ull},
    {"example-qvd-as-opened", 0x4c3f7497a1100e38ull, 0x1b827b2768510efeull},
    {"example-qvd-default", 0x4c3f7497a1100e38ull, 0x1b827b2768510efeull},
    {"example-gif-default", 0xdae52c6d52da0d9aull, 0xd50941efaaac09eaull},
};

class ExportBytes : public ::testing::Test {
protected:
    std::filesystem::path dir_ = test::ScratchDir("export-bytes");
    std::vector<std::pair<std::string, FileHashes>> actual_;

    void Export(const std::string& name, CQVDoc& doc, const GifOptionsChooser& choose) {
        const auto path = dir_ / (name + ".gif");
        ASSERT_TRUE(GifExportJob::OfAnimation(doc.GetAnimation()).Save(path, choose).status) << name;
        actual_.emplace_back(name, HashesOfFile(path));
    }
    // Without rendering first: what opening left in the frames is written.
    void ExportAsOpened(const std::string& name, CQVDoc& doc) {
        const auto path = dir_ / (name + ".gif");
        ASSERT_TRUE(GifExportJob::OfRenderedAnimation(doc.GetAnimation()).Save(path, ClassicDefaults()).status) << name;
        actual_.emplace_back(name, HashesOfFile(path));
    }
    void ExportFrame(const std::string& name, CQVDoc& doc, std::size_t index) {
        const auto path = dir_ / (name + ".gif");
        ASSERT_TRUE(GifExportJob::OfFrame(*doc.GetAnimation().Frames()[index]).Save(path, ClassicDefaults()).status)
            << name;
        actual_.emplace_back(name, HashesOfFile(path));
    }
    void OpenGif(CQVDoc& doc, const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const auto path = dir_ / (name + ".gif");
        ASSERT_TRUE(WriteFileAtomic(path, bytes));
        ASSERT_TRUE(OpenDocument(doc, path));
    }
};

TEST_F(ExportBytes, EveryExportedByteStaysAsRecorded) {
    {
        CQVDoc doc;
        OpenGif(doc, "banner-in", FlatBannerGif());
        ExportAsOpened("banner-as-opened", doc);
        Export("banner-default", doc, ClassicDefaults());
        Export("banner-plain", doc, Fixed(false, 0, false));
        Export("banner-4", doc, Fixed(true, 4, true, true));
        Export("banner-4-own", doc, Fixed(true, 4, true));
        ExportFrame("banner-frame3", doc, 2);
    }
    {
        CQVDoc doc;
        OpenGif(doc, "photo-in", PanningPhotoGif());
        ExportAsOpened("photo-as-opened", doc);
        Export("photo-default", doc, ClassicDefaults());
        Export("photo-128", doc, Fixed(true, 128, true, true));
        Export("photo-128-own", doc, Fixed(true, 128, true));
        Export("photo-plain", doc, Fixed(false, 0, false));
        Export("photo-64", doc, Fixed(true, 64, true, true));
        Export("photo-64-own", doc, Fixed(true, 64, true));
    }
    {
        auto doc = ShapesDocument();
        Export("shapes-default", *doc, ClassicDefaults(true));
        Export("shapes-default-own", *doc, ClassicDefaults());
        Export("shapes-plain", *doc, Fixed(false, 0, false, true));
        Export("shapes-8", *doc, Fixed(true, 8, true, true));
        Export("shapes-plain-own", *doc, Fixed(false, 0, false));
        Export("shapes-8-own", *doc, Fixed(true, 8, true));
        ExportFrame("shapes-frame3", *doc, 2);
    }
    {
        auto doc = test::MakeRichDocument();
        Export("rich-default", *doc, ClassicDefaults());
    }
    {
        CQVDoc doc;
        ASSERT_TRUE(OpenDocument(doc, test::SourceDir() / "examples" / "sample.qvd"));
        ExportAsOpened("example-qvd-as-opened", doc);
        Export("example-qvd-default", doc, ClassicDefaults());
    }
    {
        CQVDoc doc;
        ASSERT_TRUE(OpenDocument(doc, test::SourceDir() / "examples" / "banner.gif"));
        Export("example-gif-default", doc, ClassicDefaults());
    }

    ASSERT_EQ(actual_.size(), std::size(kExpected));
    for (std::size_t i = 0; i < actual_.size(); ++i) {
        EXPECT_EQ(actual_[i].first, kExpected[i].name);
        EXPECT_EQ(actual_[i].second.bytes, kExpected[i].hash)
            << actual_[i].first << " now hashes to 0x" << std::hex << actual_[i].second.bytes;
        EXPECT_EQ(actual_[i].second.shown, kExpected[i].shown)
            << actual_[i].first << " now shows frames hashing to 0x" << std::hex << actual_[i].second.shown;
    }
}

// The exports recorded with "-own" lose colour to one palette; with
// palettes of their own their images, as giflib shows them, come nearer
// the rendered frames.
std::uint64_t ShownError(GifExportJob& job, const GifExportOptions& options) {
    const GifExportResult result = job.Encode(options);
    EXPECT_TRUE(result.status.ok());
    const auto decoded = test::DecodeWithGiflib(result.bytes);
    EXPECT_TRUE(decoded.has_value());
    if (!decoded) return 0;
    return test::writer::SquaredError(test::writer::CompositeFrames(*decoded), job.Images().pixels);
}

TEST(ExportOwnPalettes, ShowTheImagesTruerThanOnePalette) {
    const auto dir = test::ScratchDir("export-own-palettes");
    const auto opened = [&dir](const char* name, const std::vector<std::uint8_t>& bytes) {
        auto doc = std::make_unique<CQVDoc>();
        EXPECT_TRUE(WriteFileAtomic(dir / name, bytes));
        EXPECT_TRUE(OpenDocument(*doc, dir / name));
        return doc;
    };
    struct Case {
        const char* name;
        std::unique_ptr<CQVDoc> doc;
        GifExportOptions options;
    };
    GifExportOptions shapesDefault = DefaultGifExportOptions(257);
    shapesDefault.quantizer = PaletteMethod::MedianCut;
    Case cases[] = {
        {"banner-4", opened("banner.gif", FlatBannerGif()), FixedOptions(true, 4, true, false)},
        {"photo-128", opened("photo.gif", PanningPhotoGif()), FixedOptions(true, 128, true, false)},
        {"photo-64", opened("photo.gif", PanningPhotoGif()), FixedOptions(true, 64, true, false)},
        {"shapes-default", ShapesDocument(), shapesDefault},
        {"shapes-plain", ShapesDocument(), FixedOptions(false, 0, false, false)},
        {"shapes-8", ShapesDocument(), FixedOptions(true, 8, true, false)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifExportJob job = GifExportJob::OfAnimation(c.doc->GetAnimation());
        GifExportOptions one = c.options;
        one.onePalette = true;
        EXPECT_LT(ShownError(job, c.options), ShownError(job, one));
    }
}

}  // namespace
}  // namespace vantrel
