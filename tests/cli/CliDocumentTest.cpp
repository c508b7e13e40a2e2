// The document commands of vantrel-cli: info --document, render, export,
// export-frame and quick, run as a user would.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "cli/CliSupport.h"
#include "core/PackedDib.h"
#include "support/GiflibRef.h"
#include "support/PngRef.h"
#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"

namespace {

using namespace vantrel::test::cli;
namespace fs = std::filesystem;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
    friend bool operator==(const Picture&, const Picture&) = default;
};

Picture LoadPng(const fs::path& p) {
    Picture pic;
    EXPECT_TRUE(ReadPng(p, pic.width, pic.height, pic.rgba)) << p;
    return pic;
}

std::vector<Picture> RenderAll(const fs::path& file, const fs::path& outDir) {
    EXPECT_EQ(RunCli({"render", file.string(), outDir.string()}).exitCode, 0) << file;
    std::vector<Picture> frames;
    for (int n = 1;; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%03d.png", n);
        if (!fs::exists(outDir / name)) break;
        frames.push_back(LoadPng(outDir / name));
    }
    return frames;
}

class CliDocument : public ScratchWithTwoGif {};

TEST_F(CliDocument, InfoShowsFramesAsTheDocumentHoldsThem) {
    const auto r = RunCli({"info", "--document", "--json", two.string()});
    ASSERT_EQ(r.exitCode, 0);
    // A 2 x 1 canvas sits at (599, 599) in the work area; the file's loop
    // extension of 3 repetitions means 4 plays; image 1's disposal 1 keeps it
    // beneath frame 2.
    EXPECT_EQ(r.out,
              "{\"canvas\":{\"width\":2,\"height\":1},\"loopCount\":4,\"frames\":["
              "{\"master\":false,\"duration\":7,\"backgroundColor\":\"#FFFFFF\",\"backgroundFrame\":null,"
              "\"items\":[{\"kind\":\"bitmap\",\"bounds\":[599,599,601,600]}]},"
              "{\"master\":false,\"duration\":0,\"backgroundColor\":\"#FFFFFF\",\"backgroundFrame\":1,"
              "\"items\":[{\"kind\":\"bitmap\",\"bounds\":[600,599,601,600]}]}]}\n");
}

TEST_F(CliDocument, RenderShowsTransparencyAsTheBackgroundColour) {
    const auto frames = RenderAll(two, dir / "frames");
    ASSERT_EQ(frames.size(), 2u);
    // Frame 1: index 1 is transparent (white background shows), index 2 green.
    EXPECT_EQ(frames[0].rgba, (std::vector<unsigned char>{255, 255, 255, 255, 0, 255, 0, 255}));
    // Frame 2 lies over frame 1 and paints its local colour at x = 1.
    EXPECT_EQ(frames[1].rgba, (std::vector<unsigned char>{255, 255, 255, 255, 200, 100, 50, 255}));
}

TEST_F(CliDocument, ExportedAnimationShowsTheSameFrames) {
    const auto sample = vantrel::test::SourceDir() / "examples" / "banner.gif";
    const auto original = RenderAll(sample, dir / "original");
    ASSERT_EQ(original.size(), 3u);
    for (const auto& options : std::vector<std::vector<std::string>>{{}, {"--no-size-reduction"}, {"--exact"}}) {
        const auto out = dir / "out.gif";
        std::vector<std::string> args{"export", sample.string(), out.string()};
        args.insert(args.end(), options.begin(), options.end());
        const auto r = RunCli(args);
        ASSERT_EQ(r.exitCode, 0) << r.out;
        EXPECT_NE(r.out.find("3 images"), std::string::npos) << r.out;
        EXPECT_EQ(RenderAll(out, dir / ("again" + std::to_string(options.size()))), original);
    }
    // The banner has few colours: the report names the exact palette.
    const auto r = RunCli({"export", sample.string(), (dir / "x.gif").string()});
    EXPECT_NE(r.out.find("palette of"), std::string::npos);
}

TEST_F(CliDocument, ExportReducesColoursOnRequest) {
    const auto out = dir / "four.gif";
    const auto r = RunCli({"export", two.string(), out.string(), "--colors", "2", "--one-palette"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("palette of 2\n"), std::string::npos) << r.out;
    const auto info = RunCli({"info", "--json", out.string()});
    EXPECT_NE(info.out.find("\"globalColors\":2"), std::string::npos) << info.out;
    EXPECT_EQ(info.out.find("\"localColors\":2"), std::string::npos) << info.out;
    // The file's 3 repetitions are 4 plays in the document, written back as 3.
    EXPECT_NE(info.out.find("\"loopCount\":3"), std::string::npos) << info.out;

    // Each image's own 2 colours show it truer than 2 shared by both.
    const auto own = RunCli({"export", two.string(), out.string(), "--colors", "2"});
    ASSERT_EQ(own.exitCode, 0);
    EXPECT_NE(own.out.find("palette of 2, each image with a palette of its own"), std::string::npos) << own.out;
    const auto ownInfo = RunCli({"info", "--json", out.string()});
    EXPECT_NE(ownInfo.out.find("\"globalColors\":0"), std::string::npos) << ownInfo.out;
    EXPECT_NE(ownInfo.out.find("\"localColors\":2"), std::string::npos) << ownInfo.out;
}

TEST_F(CliDocument, LoopCountsSurviveARoundTrip) {
    // A file repeating once after the first play is two plays in the
    // document and must be written back with its loop block holding 1 (a
    // count of 1 would otherwise mean "no loop block").
    auto bytes = TwoImageGif();
    const std::vector<unsigned char> loopBlock{'2', '.', '0', 3, 1};
    const auto at = std::search(bytes.begin(), bytes.end(), loopBlock.begin(), loopBlock.end());
    ASSERT_NE(at, bytes.end());
    *(at + 5) = 1;
    WriteBytes(dir / "once.gif", bytes);
    EXPECT_NE(RunCli({"info", "--json", "--document", (dir / "once.gif").string()}).out.find("\"loopCount\":2"),
              std::string::npos);
    const auto out = dir / "once-out.gif";
    ASSERT_EQ(RunCli({"export", (dir / "once.gif").string(), out.string()}).exitCode, 0);
    std::ifstream in(out, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), {}};
    const auto block = written.find("NETSCAPE2.0");
    ASSERT_NE(block, std::string::npos);
    EXPECT_EQ(written.substr(block + 11, 5), std::string("\x03\x01\x01\x00\x00", 5));
}

TEST_F(CliDocument, ExportFrameWritesGifOrJpeg) {
    const auto gif = dir / "frame2.gif";
    ASSERT_EQ(RunCli({"export-frame", two.string(), "2", gif.string()}).exitCode, 0);
    const auto info = RunCli({"info", "--json", gif.string()});
    EXPECT_NE(info.out.find("\"animated\":false"), std::string::npos) << info.out;
    const auto frames = RenderAll(gif, dir / "frame2");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].rgba, (std::vector<unsigned char>{255, 255, 255, 255, 200, 100, 50, 255}));

    const auto jpeg = dir / "frame1.JPEG";
    ASSERT_EQ(RunCli({"export-frame", two.string(), "1", jpeg.string(), "--quality", "10"}).exitCode, 0);
    std::ifstream in(jpeg, std::ios::binary);
    unsigned char soi[2] = {};
    in.read(reinterpret_cast<char*>(soi), 2);
    EXPECT_EQ(soi[0], 0xFF);
    EXPECT_EQ(soi[1], 0xD8);
}

TEST_F(CliDocument, QuickMakesOneFramePerImage) {
    // Single pictures keep the duration the quick animation gives (an
    // animated GIF would bring its own delays).
    const auto still = dir / "still.gif";
    const auto photo = dir / "photo.jpg";
    ASSERT_EQ(RunCli({"export-frame", two.string(), "2", still.string()}).exitCode, 0);
    ASSERT_EQ(RunCli({"export-frame", two.string(), "1", photo.string()}).exitCode, 0);
    const auto out = dir / "quick.gif";
    const auto r = RunCli({"quick", out.string(), "--duration", "0.25", still.string(), photo.string()});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const auto info = RunCli({"info", "--json", out.string()});
    ASSERT_EQ(info.exitCode, 0);
    // The GIF's item sits at its screen's offset (599, 599), the JPEG's is
    // centred on (600, 600) at (599, 600): the canvas fitted around both is 2 x 2.
    EXPECT_NE(info.out.find("\"screen\":{\"width\":2,\"height\":2}"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"images\":[{\"left\":0,\"top\":0,\"width\":2,\"height\":2,\"delay\":25"),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("},{"), std::string::npos) << "two images expected: " << info.out;
    EXPECT_NE(info.out.rfind("\"delay\":25"), info.out.find("\"delay\":25")) << info.out;
}

TEST_F(CliDocument, ReducedPalettesKeepAFlatBackgroundUnlessClassicIsAsked) {
    // A navy banner over a gradient strip of more than 256 colours.
    constexpr unsigned char kNavy[3] = {0x1A, 0x2A, 0x6C};
    vantrel::PackedDib picture;
    ASSERT_TRUE(picture.SetSize(200, 60));
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            picture.Row(y)[x] = y < 40 ? vantrel::MakePixel(kNavy[0], kNavy[1], kNavy[2])
                                       : vantrel::MakePixel(std::uint8_t(x), std::uint8_t(y * 4), std::uint8_t(255 - x));
    const auto in = dir / "banner.png";
    ASSERT_TRUE(vantrel::test::WritePngWithLibpng(in, picture));
    // The picture's top-left pixel as the exported GIF shows it.
    const auto corner = [&](const std::vector<std::string>& extra) {
        const auto out = dir / "banner.gif";
        std::vector<std::string> args = {"export", in.string(), out.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto r = RunCli(args, true);
        EXPECT_EQ(r.exitCode, 0) << r.out;
        EXPECT_NE(r.out.find("more than 256 distinct colours, palette of"), std::string::npos) << r.out;
        const auto frames = RenderAll(out, dir / ("frames" + std::to_string(extra.size())));
        EXPECT_EQ(frames.size(), 1u);
        return frames.empty() ? std::vector<unsigned char>{} : std::vector<unsigned char>(frames[0].rgba.begin(), frames[0].rgba.begin() + 3);
    };
    const std::vector<unsigned char> navy(std::begin(kNavy), std::end(kNavy));
    EXPECT_EQ(corner({}), navy);
    EXPECT_EQ(corner({"--quantizer", "refined"}), navy);
    EXPECT_NE(corner({"--quantizer", "median-cut"}), navy) << "the classic palette moves it";
    EXPECT_EQ(RunCli({"export", in.string(), (dir / "x.gif").string(), "--quantizer", "octree"}).exitCode, 1);
    // --exact cannot keep more than 256 colours: refused, for the animation and for one frame.
    for (const auto& command : std::vector<std::vector<std::string>>{{"export", in.string()},
                                                                     {"export-frame", in.string(), "1"}}) {
        std::vector<std::string> args = command;
        args.insert(args.end(), {(dir / "exact.gif").string(), "--exact"});
        const auto r = RunCli(args, true);
        EXPECT_EQ(r.exitCode, 2) << r.out;
        EXPECT_NE(r.out.find("--exact needs 256 colours or fewer"), std::string::npos) << r.out;
        EXPECT_FALSE(fs::exists(dir / "exact.gif"));
    }
}

TEST_F(CliDocument, LossyExportIsSmallerAndStaysNearTheColours) {
    // Noise over a gradient reduced to 64 colours: much for LZW to gain.
    vantrel::PackedDib picture;
    ASSERT_TRUE(picture.SetSize(120, 80));
    std::uint32_t state = 3;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 120; ++x) {
            state = state * 1664525u + 1013904223u;
            picture.Row(y)[x] = vantrel::MakePixel(std::uint8_t(x * 2), std::uint8_t(y * 3), std::uint8_t(state >> 28));
        }
    }
    const auto in = dir / "noise.png";
    ASSERT_TRUE(vantrel::test::WritePngWithLibpng(in, picture));
    std::vector<Picture> shown;
    std::vector<std::uintmax_t> sizes;
    for (const char* level : {"0", "100"}) {
        const auto out = dir / (std::string("noise-") + level + ".gif");
        const auto r = RunCli({"export", in.string(), out.string(), "--colors", "64", "--lossy", level}, true);
        ASSERT_EQ(r.exitCode, 0) << r.out;
        sizes.push_back(fs::file_size(out));
        const auto frames = RenderAll(out, dir / (std::string("frames-") + level));
        ASSERT_EQ(frames.size(), 1u);
        shown.push_back(frames[0]);
    }
    EXPECT_LT(sizes[1], sizes[0]);
    ASSERT_EQ(shown[0].rgba.size(), shown[1].rgba.size());
    int worst = 0;
    for (std::size_t i = 0; i < shown[0].rgba.size(); ++i)
        worst = std::max(worst, std::abs(int(shown[0].rgba[i]) - int(shown[1].rgba[i])));
    EXPECT_GT(worst, 0) << "level 100 should change some pixel";
    EXPECT_LE(worst, 50) << "no channel moves further than the level allows (100 / 2)";
    EXPECT_EQ(RunCli({"export", in.string(), (dir / "x.gif").string(), "--lossy", "201"}).exitCode, 1);
}

// Six frames of 64 colours each, every frame in hues of its own (384 in
// all), each image with its own table, written by giflib.
std::vector<std::uint8_t> HueShiftingGif() {
    vantrel::test::RefGif gif;
    gif.screenWidth = 64;
    gif.screenHeight = 32;
    gif.loopCount = 0;
    for (int f = 0; f < 6; ++f) {
        vantrel::test::RefImage& image = gif.images.emplace_back();
        image.width = 64;
        image.height = 32;
        image.hasControl = true;
        image.delay = 10;
        for (int c = 0; c < 64; ++c)
            image.localColors.push_back({std::uint8_t(f * 40 + 3), std::uint8_t(c * 4), std::uint8_t(255 - c * 3)});
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x) image.indices.push_back(std::uint8_t((x + y * 5) % 64));
    }
    auto bytes = vantrel::test::EncodeWithGiflib(gif);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(std::vector<std::uint8_t>{});
}

std::size_t ImagesWithOwnTable(const fs::path& gif) {
    std::ifstream in(gif, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto decoded = vantrel::test::DecodeWithGiflib(bytes);
    EXPECT_TRUE(decoded.has_value()) << gif;
    if (!decoded) return 0;
    return std::size_t(std::count_if(decoded->images.begin(), decoded->images.end(),
                                     [](const vantrel::test::RefImage& image) { return !image.localColors.empty(); }));
}

TEST_F(CliDocument, FramesOfTheirOwnColoursKeepThemUnlessOnePaletteIsAsked) {
    const auto in = dir / "hues.gif";
    WriteBytes(in, HueShiftingGif());
    const std::vector<Picture> given = RenderAll(in, dir / "given");
    ASSERT_EQ(given.size(), 6u);
    struct Case {
        const char* name;
        std::vector<std::string> extra;
        bool exact;           // every frame shows as it went in
        std::size_t ownTables;
        const char* says;     // in the output
    };
    const Case cases[] = {
        {"automatic", {}, true, 6, "each image with a palette of its own"},
        {"no size reduction", {"--no-size-reduction"}, true, 6, "each image with a palette of its own"},
        {"one palette", {"--one-palette"}, false, 0, "palette of 256\n"},
        {"one palette, 64 colours", {"--one-palette", "--colors", "64"}, false, 0, "palette of 64\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto out = dir / "out.gif";
        std::vector<std::string> args = {"export", in.string(), out.string()};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const auto r = RunCli(args, true);
        ASSERT_EQ(r.exitCode, 0) << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
        EXPECT_EQ(ImagesWithOwnTable(out), c.ownTables);
        const std::vector<Picture> shown = RenderAll(out, dir / (std::string("shown-") + c.name));
        EXPECT_EQ(shown == given, c.exact);
    }
    // The budget holds with palettes per frame, and the output says which it used.
    const auto fitted = dir / "fitted.gif";
    ASSERT_EQ(RunCli({"export", in.string(), (dir / "full.gif").string()}).exitCode, 0);
    const auto budget = fs::file_size(dir / "full.gif") * 3 / 4;
    const auto r = RunCli({"export", in.string(), fitted.string(), "--max-bytes", std::to_string(budget)}, true);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_LE(fs::file_size(fitted), budget);
    EXPECT_NE(r.out.find("fits the limit of"), std::string::npos) << r.out;
    const std::size_t own = ImagesWithOwnTable(fitted);
    EXPECT_EQ(r.out.find("palette of its own") != std::string::npos, own == 6) << r.out;
}

TEST_F(CliDocument, QuickTakesPngFrames) {
    // Three solid pictures written by libpng, one extension in capitals.
    const std::array<std::array<unsigned char, 3>, 3> colours = {{{200, 30, 40}, {20, 180, 60}, {10, 20, 230}}};
    std::vector<std::string> args = {"quick", (dir / "pngs.gif").string()};
    for (std::size_t i = 0; i < colours.size(); ++i) {
        vantrel::PackedDib picture;
        ASSERT_TRUE(picture.SetSize(6, 4));
        picture.FillRect(vantrel::MakePixel(colours[i][0], colours[i][1], colours[i][2]));
        const auto path = dir / (std::string(1, char('a' + i)) + (i == 1 ? ".PNG" : ".png"));
        ASSERT_TRUE(vantrel::test::WritePngWithLibpng(path, picture));
        args.push_back(path.string());
    }
    const auto r = RunCli(args, true);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const auto frames = RenderAll(dir / "pngs.gif", dir / "frames");
    ASSERT_EQ(frames.size(), 3u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(frames[i].width, 6);
        ASSERT_EQ(frames[i].height, 4);
        EXPECT_TRUE(std::equal(colours[i].begin(), colours[i].end(), frames[i].rgba.begin())) << i;
    }
    // A PNG opens as a document for the document commands too.
    const auto info = RunCli({"info", "--json", (dir / "b.PNG").string()});
    ASSERT_EQ(info.exitCode, 0);
    EXPECT_NE(info.out.find("\"canvas\":{\"width\":6,\"height\":4}"), std::string::npos) << info.out;
}

TEST_F(CliDocument, DryRunPrintsTheSizeOfTheFileAndWritesNothing) {
    const auto quick = dir / "quick.qvd";
    ASSERT_EQ(RunCli({"quick", quick.string(), two.string(), two.string()}).exitCode, 0);
    const auto sample = vantrel::test::SourceDir() / "examples" / "sample.qvd";
    struct Case {
        fs::path input;
        std::vector<std::string> options;
    };
    for (const Case& c : {Case{two, {}}, Case{quick, {"--colors", "2"}}, Case{sample, {}},
                          Case{sample, {"--colors", "8", "--no-size-reduction"}}}) {
        SCOPED_TRACE(c.input.string());
        const auto out = dir / "dry.gif";
        std::vector<std::string> args = {"export", c.input.string(), out.string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        std::vector<std::string> dry = args;
        dry.push_back("--dry-run");
        const auto estimate = RunCli(dry);
        ASSERT_EQ(estimate.exitCode, 0);
        EXPECT_FALSE(fs::exists(out));
        const std::string marker = out.string() + ": ";
        const auto at = estimate.out.rfind(marker);
        ASSERT_NE(at, std::string::npos) << estimate.out;
        const unsigned long long size = std::stoull(estimate.out.substr(at + marker.size()));
        ASSERT_EQ(RunCli(args).exitCode, 0);
        EXPECT_EQ(size, fs::file_size(out));
        fs::remove(out);
    }
}

// The size of the GIF export of document with the defaults (0 when it fails).
std::uintmax_t DefaultExportSize(const fs::path& document, const fs::path& dir) {
    const auto full = dir / "full.gif";
    if (RunCli({"export", document.string(), full.string()}).exitCode != 0) return 0;
    return fs::file_size(full);
}

TEST_F(CliDocument, MaxBytesKeepsToTheBudgetOrWritesNothing) {
    const auto sample = vantrel::test::SourceDir() / "examples" / "sample.qvd";
    const auto fullSize = DefaultExportSize(sample, dir);
    ASSERT_GT(fullSize, 0u);
    const auto out = dir / "budget.gif";
    for (auto budget : {fullSize, fullSize - 1, fullSize * 3 / 4}) {
        SCOPED_TRACE(budget);
        // The smaller budgets are met only below 16 colours, which must be allowed.
        const auto r = RunCli(
            {"export", sample.string(), out.string(), "--max-bytes", std::to_string(budget), "--allow-few-colors"});
        ASSERT_EQ(r.exitCode, 0) << r.out;
        EXPECT_LE(fs::file_size(out), budget);
        EXPECT_NE(r.out.find(" colours ("), std::string::npos) << r.out;
        EXPECT_EQ(RunCli({"info", out.string()}).exitCode, 0);
        fs::remove(out);
    }
    const auto refused = RunCli({"export", sample.string(), out.string(), "--max-bytes", "100"}, true);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.out.find("limit of 100 bytes"), std::string::npos) << refused.out;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(RunCli({"export", sample.string(), out.string(), "--max-bytes", "0"}).exitCode, 1);

    // Dithering onto few colours still makes a GIF the tool reads back.
    const auto dithered = dir / "dithered.gif";
    ASSERT_EQ(RunCli({"export", sample.string(), dithered.string(), "--colors", "8", "--dither"}).exitCode, 0);
    EXPECT_EQ(RunCli({"render", dithered.string(), (dir / "dithered").string()}).exitCode, 0);
}

// A budget met only below 16 colours is refused (exit 2, nothing written)
// unless --allow-few-colors is given; then the file keeps the budget.
TEST_F(CliDocument, MaxBytesBelowSixteenColoursIsWrittenOnlyWhenAllowed) {
    const auto sample = vantrel::test::SourceDir() / "examples" / "sample.qvd";
    const auto fullSize = DefaultExportSize(sample, dir);
    ASSERT_GT(fullSize, 0u);
    const auto out = dir / "few.gif";
    bool refusedFew = false;
    for (int percent = 98; percent >= 2 && !refusedFew; percent -= 4) {
        const std::string budget = std::to_string(fullSize * std::uintmax_t(percent) / 100);
        const auto r = RunCli({"export", sample.string(), out.string(), "--max-bytes", budget}, true);
        if (r.exitCode == 0) {
            EXPECT_NE(r.out.find(" colours (lossy "), std::string::npos) << r.out;
            fs::remove(out);
            continue;
        }
        ASSERT_EQ(r.exitCode, 2) << r.out;
        EXPECT_FALSE(fs::exists(out));
        if (r.out.find("fewer than 16") == std::string::npos) continue;  // nothing fits at all
        refusedFew = true;
        EXPECT_NE(r.out.find("--allow-few-colors"), std::string::npos) << r.out;
        const auto allowed =
            RunCli({"export", sample.string(), out.string(), "--max-bytes", budget, "--allow-few-colors"}, true);
        ASSERT_EQ(allowed.exitCode, 0) << allowed.out;
        EXPECT_LE(fs::file_size(out), std::stoull(budget));
        EXPECT_EQ(RunCli({"info", out.string()}).exitCode, 0);
    }
    EXPECT_TRUE(refusedFew) << "some budget should be met only below 16 colours";
    // The switch belongs to GIF output.
    EXPECT_EQ(RunCli({"export", sample.string(), (dir / "x.webp").string(), "--allow-few-colors"}).exitCode, 1);
}

TEST_F(CliDocument, DocumentExtensionsCompareWithoutCase) {
    const auto upper = dir / "TWO.QVD";
    ASSERT_EQ(RunCli({"save", two.string(), upper.string()}).exitCode, 0);
    ASSERT_TRUE(fs::exists(upper));  // no second extension added
    const auto info = RunCli({"info", "--json", upper.string()});
    ASSERT_EQ(info.exitCode, 0);
    EXPECT_EQ(info.out, RunCli({"info", "--json", "--document", two.string()}).out);
}

TEST_F(CliDocument, SaveKeepsTheDocument) {
    // Saving adds the extension; the .qvd reads back as the same document.
    ASSERT_EQ(RunCli({"save", two.string(), (dir / "two").string()}).exitCode, 0);
    const auto qvd = dir / "two.qvd";
    ASSERT_TRUE(fs::exists(qvd));
    const auto fromGif = RunCli({"info", "--json", "--document", two.string()});
    const auto fromQvd = RunCli({"info", "--json", qvd.string()});
    ASSERT_EQ(fromQvd.exitCode, 0);
    EXPECT_EQ(fromQvd.out, fromGif.out);
    EXPECT_EQ(RenderAll(qvd, dir / "qvd-frames"), RenderAll(two, dir / "gif-frames"));

    // A quick animation can be a document too.
    const auto quick = dir / "quick.qvd";
    ASSERT_EQ(RunCli({"quick", quick.string(), two.string()}).exitCode, 0);
    EXPECT_NE(RunCli({"info", quick.string()}).out.find("2 frames"), std::string::npos);

    // A damaged document is refused with the one message for bad files.
    WriteBytes(dir / "bad.qvd", {7, 'Q', 'V', 'D', 'F', '1', '.', '0', 1, 2});
    const auto bad = RunCli({"info", (dir / "bad.qvd").string()}, true);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.out.find("Unexpected file format."), std::string::npos) << bad.out;
}

TEST_F(CliDocument, ExitCodes) {
    struct Case {
        std::vector<std::string> args;
        int code;
    };
    const std::string out = (dir / "o.gif").string();
    const std::vector<Case> cases = {
        {{"render", two.string()}, 1},
        {{"export", two.string(), out, "--colors", "300"}, 1},
        {{"export", two.string(), out, "--colors", "8", "--exact"}, 1},
        {{"export-frame", two.string(), "0", out}, 1},
        {{"export-frame", two.string(), "1", (dir / "o.bmp").string()}, 1},
        {{"export-frame", two.string(), "1", out, "--quality", "11"}, 1},
        {{"quick", out}, 1},
        {{"quick", out, "--duration", "0", two.string()}, 1},
        {{"render", (dir / "missing.gif").string(), (dir / "r").string()}, 2},
        {{"export", (dir / "missing.gif").string(), out}, 2},
        {{"export-frame", two.string(), "3", out}, 2},
        {{"quick", out, (dir / "missing.jpg").string()}, 2},
        {{"export", two.string(), (dir / "no-such-folder" / "o.gif").string()}, 3},
        {{"export-frame", two.string(), "1", (dir / "no-such-folder" / "o.jpg").string()}, 3},
        {{"save", two.string()}, 1},
        {{"save", (dir / "missing.qvd").string(), out}, 2},
        {{"save", two.string(), (dir / "no-such-folder" / "o.qvd").string()}, 3},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        EXPECT_EQ(RunCli(c.args).exitCode, c.code) << joined;
    }
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace

namespace {

TEST_F(CliDocument, AnAnimationOfMasterFramesOnlyIsBadInput) {
    vantrel::CQVDoc doc;
    doc.GetAnimation().AppendFrame();
    for (const auto& frame : doc.GetAnimation().Frames()) frame->isMaster = true;
    const fs::path masters = dir / "masters.qvd";
    ASSERT_TRUE(vantrel::SaveDocument(doc, masters).ok());
    const auto r = RunCli({"export", masters.string(), (dir / "out.gif").string()}, true);
    EXPECT_EQ(r.exitCode, 2) << r.out;
    EXPECT_FALSE(fs::exists(dir / "out.gif"));
}

TEST_F(CliDocument, AReasonNamesThePathOnce) {
    const std::string missing = (dir / "nope.gif").string();
    for (const char* command : {"info", "render"}) {
        std::vector<std::string> args{command, missing};
        if (std::string(command) == "render") args.push_back(dir.string());
        const auto r = RunCli(args, true);
        EXPECT_EQ(r.exitCode, 2);
        const std::size_t first = r.out.find(missing);
        ASSERT_NE(first, std::string::npos) << r.out;
        EXPECT_EQ(r.out.find(missing, first + 1), std::string::npos) << r.out;
    }
}

}  // namespace

namespace {

// A GIF cut in half renders with a warning on standard error (exit 0); a
// GIF header followed by garbage is refused (exit 2).
TEST(CliDamagedFile, ACutGifRendersWithAWarningAndGarbageIsRefused) {
    const fs::path dir = vantrel::test::ScratchDir("cli-cut-gif");
    std::ifstream in(vantrel::test::SourceDir() / "examples" / "banner.gif", std::ios::binary);
    const std::vector<char> whole{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(whole.size(), 100u);
    {
        std::ofstream out(dir / "half.gif", std::ios::binary);
        out.write(whole.data(), std::streamsize(whole.size() / 2));
    }
    const auto cut = RunCli({"render", (dir / "half.gif").string(), (dir / "out").string()}, true);
    EXPECT_EQ(cut.exitCode, 0);
    EXPECT_NE(cut.out.find("vantrel-cli: warning: The file ends early: image 2 of half.gif is incomplete."),
              std::string::npos)
        << cut.out;
    EXPECT_TRUE(fs::exists(dir / "out" / "frame-002.png"));
    {
        std::ofstream out(dir / "garbage.gif", std::ios::binary);
        out << "GIF89a" << std::string("\x14\x00\x0a\x00\x00\x00\x00", 7) << "garbage garbage garbage";
    }
    const auto garbage = RunCli({"render", (dir / "garbage.gif").string(), (dir / "out2").string()}, true);
    EXPECT_EQ(garbage.exitCode, 2);
    EXPECT_NE(garbage.out.find("garbage.gif holds no image."), std::string::npos) << garbage.out;
}

}  // namespace
