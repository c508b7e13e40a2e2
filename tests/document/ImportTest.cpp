// Opening GIF files as documents and importing GIF and JPEG files.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "codec/JpegCodec.h"
#include "support/StatusAssert.h"
#include "codec/PngCodec.h"
#include "core/FileIO.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"
#include "document/DocTestUtil.h"
#include "document/Importers.h"
#include "support/GiflibRef.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using test::RefGif;
using test::RefImage;

const std::vector<RgbTriple> kPalette4 = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};

RefImage SolidRefImage(int left, int top, int width, int height, std::uint8_t index) {
    RefImage image;
    image.left = left;
    image.top = top;
    image.width = width;
    image.height = height;
    image.indices.assign(std::size_t(width) * std::size_t(height), index);
    return image;
}

std::vector<std::uint8_t> Encode(const RefGif& gif) {
    std::string error;
    auto bytes = test::EncodeWithGiflib(gif, &error);
    EXPECT_TRUE(bytes.has_value()) << error;
    return bytes.value_or(std::vector<std::uint8_t>{});
}

// The pictures a browser shows for a GIF, worked out from giflib's decoding:
// a transparent screen, each image drawn over it, then disposed of by its
// disposal method. Transparent screen pixels show as white, the frames'
// background colour.
std::vector<std::vector<PixelValue>> BrowserFrames(const RefGif& gif) {
    const int w = gif.screenWidth, h = gif.screenHeight;
    constexpr PixelValue kClear = 0xFFFFFFFF;  // no pixel drawn
    std::vector<PixelValue> screen(std::size_t(w) * std::size_t(h), kClear);
    std::vector<std::vector<PixelValue>> frames;
    for (const RefImage& image : gif.images) {
        const std::vector<PixelValue> before = screen;
        const auto& colors = image.localColors.empty() ? gif.globalColors : image.localColors;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const int sx = image.left + x, sy = image.top + y;
                const int index = image.indices[std::size_t(y * image.width + x)];
                if (sx >= w || sy >= h || index == image.transparentIndex) continue;
                const RgbTriple c = colors[std::size_t(index)];
                screen[std::size_t(sy * w + sx)] = MakePixel(c.red, c.green, c.blue);
            }
        }
        std::vector<PixelValue> shown = screen;
        for (PixelValue& p : shown) p = p == kClear ? kOpaqueWhite : p;
        frames.push_back(std::move(shown));
        if (image.disposal == 2) {
            for (int y = image.top; y < std::min(h, image.top + image.height); ++y)
                for (int x = image.left; x < std::min(w, image.left + image.width); ++x)
                    screen[std::size_t(y * w + x)] = kClear;
        } else if (image.disposal == 3) {
            screen = before;
        }
    }
    return frames;
}

// Opens bytes as a document and checks every rendered frame against the browser's picture.
void ExpectFramesAsBrowserShows(const RefGif& gif, const std::string& what) {
    const auto bytes = Encode(gif);
    const auto decoded = test::DecodeWithGiflib(bytes);
    ASSERT_TRUE(decoded.has_value()) << what;
    const auto expected = BrowserFrames(*decoded);
    CQVDoc doc;
    const Status status = OpenGifDocument(doc, bytes, "anim.gif");
    ASSERT_TRUE(status.ok()) << what << ": " << status.message();
    const Animation& animation = doc.GetAnimation();
    ASSERT_EQ(animation.FrameCount(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const PackedDib& image = animation.Frames()[i]->Image();
        ASSERT_EQ(image.Width(), gif.screenWidth);
        for (int y = 0; y < gif.screenHeight; ++y)
            for (int x = 0; x < gif.screenWidth; ++x)
                ASSERT_EQ(image.GetPixel(x, y), expected[i][std::size_t(y * gif.screenWidth + x)])
                    << what << ": frame " << i + 1 << " at " << x << "," << y;
    }
}

TEST(OpenGifTest, ThreeImagesBecomeThreeFramesOnEachOther) {
    RefGif gif;
    gif.screenWidth = 40;
    gif.screenHeight = 20;
    gif.globalColors = kPalette4;
    gif.loopCount = 0;
    gif.images = {SolidRefImage(0, 0, 40, 20, 0), SolidRefImage(5, 6, 3, 2, 1), SolidRefImage(30, 1, 4, 4, 2)};
    for (int i = 0; i < 3; ++i) {
        gif.images[std::size_t(i)].hasControl = true;
        gif.images[std::size_t(i)].delay = 10 * (i + 1);
    }
    gif.images[2].transparentIndex = 3;
    CQVDoc doc;
    ASSERT_TRUE(OpenGifDocument(doc, Encode(gif), "three.gif").ok());
    const Animation& animation = doc.GetAnimation();
    ASSERT_EQ(animation.FrameCount(), 3u);
    EXPECT_EQ(animation.Canvas(), (Rect{580, 590, 620, 610}));
    const Rect itemBounds[] = {{580, 590, 620, 610}, {585, 596, 588, 598}, {610, 591, 614, 595}};
    for (std::size_t i = 0; i < 3; ++i) {
        const AnimFrame& frame = *animation.Frames()[i];
        EXPECT_EQ(frame.BackgroundFrame(), i == 0 ? nullptr : animation.Frames()[i - 1].get());
        EXPECT_EQ(frame.duration, 10u * (i + 1));
        ASSERT_EQ(frame.CountItems(), 1);
        EXPECT_EQ(frame.Top()->Kind(), ItemKind::Bitmap);
        EXPECT_EQ(frame.Top()->Bounds(), itemBounds[i]);
        EXPECT_EQ(frame.Top()->IsSelected(), false);
    }
    EXPECT_FALSE(animation.Frames()[1]->Top()->BlendWithBeneath());
    EXPECT_TRUE(animation.Frames()[2]->Top()->BlendWithBeneath());  // it has a transparent colour
    EXPECT_EQ(animation.loopCount, 0u);
    EXPECT_EQ(animation.Frames()[2]->Image().GetPixel(6, 7), 0x0000FF00u);  // frame 2 shows through
}

TEST(OpenGifTest, DisposalsTransparencyAndPartialImagesRenderAsABrowserShowsThem) {
    // Hand-made sequences first, each aimed at one rule.
    struct Step {
        int left, top, width, height, disposal, transparent;  // transparent: index or -1
    };
    const std::vector<std::pair<const char*, std::vector<Step>>> sequences = {
        {"leave in place", {{0, 0, 12, 9, 1, -1}, {2, 2, 4, 4, 0, 3}, {5, 5, 6, 3, 1, 3}}},
        {"restore part to background", {{0, 0, 12, 9, 1, -1}, {2, 2, 4, 4, 2, -1}, {3, 1, 2, 6, 0, 3}}},
        {"restore whole screen", {{0, 0, 12, 9, 2, -1}, {2, 2, 4, 4, 0, 3}}},
        {"restore to previous", {{0, 0, 12, 9, 1, -1}, {2, 2, 4, 4, 3, -1}, {6, 2, 3, 3, 3, 3}, {1, 1, 2, 2, 0, -1}}},
        {"previous after cleared part", {{0, 0, 12, 9, 0, 3}, {1, 1, 5, 5, 2, -1}, {2, 2, 4, 4, 3, -1}, {0, 0, 3, 3, 1, 3}}},
        {"first image restored", {{3, 3, 4, 4, 3, -1}, {0, 0, 2, 2, 2, -1}, {9, 6, 3, 3, 1, -1}}},
        {"partly outside the screen", {{8, 6, 10, 10, 2, 3}, {-0, 7, 20, 5, 3, -1}, {10, 0, 5, 12, 1, -1}}},
    };
    std::mt19937 random(99);
    auto makeGif = [&](const std::vector<Step>& steps) {
        RefGif gif;
        gif.screenWidth = 12;
        gif.screenHeight = 9;
        gif.globalColors = kPalette4;
        for (const Step& s : steps) {
            RefImage image = SolidRefImage(s.left, s.top, s.width, s.height, 0);
            for (auto& index : image.indices) index = std::uint8_t(random() % 4);
            image.hasControl = true;
            image.disposal = s.disposal;
            image.transparentIndex = s.transparent;
            if (random() % 3 == 0) image.localColors = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {200, 100, 50}};
            gif.images.push_back(std::move(image));
        }
        return gif;
    };
    for (const auto& [name, steps] : sequences) ExpectFramesAsBrowserShows(makeGif(steps), name);

    // Then random sequences of every disposal, with transparency and images
    // hanging over the screen's right and bottom edges.
    for (int round = 0; round < 40; ++round) {
        std::vector<Step> steps;
        const int count = 2 + int(random() % 6);
        for (int i = 0; i < count; ++i) {
            const int left = int(random() % 12), top = int(random() % 9);
            steps.push_back({left, top, 1 + int(random() % 12), 1 + int(random() % 9), int(random() % 4),
                             random() % 2 ? 3 : -1});
        }
        ExpectFramesAsBrowserShows(makeGif(steps), "random round " + std::to_string(round));
    }
}

TEST(OpenGifTest, RestoreToBackgroundAddsAClearedAreaUnderTheNextImage) {
    RefGif gif;
    gif.screenWidth = 10;
    gif.screenHeight = 10;
    gif.globalColors = kPalette4;
    gif.images = {SolidRefImage(0, 0, 10, 10, 0), SolidRefImage(2, 3, 4, 5, 1), SolidRefImage(0, 0, 1, 1, 2)};
    gif.images[1].hasControl = true;
    gif.images[1].disposal = 2;
    CQVDoc doc;
    ASSERT_TRUE(OpenGifDocument(doc, Encode(gif), "").ok());
    const AnimFrame& third = *doc.GetAnimation().Frames()[2];
    EXPECT_EQ(third.BackgroundFrame(), doc.GetAnimation().Frames()[1].get());
    ASSERT_EQ(third.CountItems(), 2);
    const CanvasItem& cleared = *third.Bottom();
    EXPECT_EQ(cleared.Bounds(), (Rect{597, 598, 601, 603}));  // (2, 3) on the canvas at (595, 595)
    EXPECT_EQ(cleared.PixelAt({597, 598}), third.backgroundColor);
    EXPECT_FALSE(cleared.IsSelected());
    EXPECT_EQ(third.Image().GetPixel(2, 3), 0x00FFFFFFu);
}

TEST(OpenGifTest, LoopCountIsTheNumberOfPlays) {
    struct Case {
        std::optional<int> stored;
        std::uint32_t plays;
    };
    const Case cases[] = {{std::nullopt, 1}, {0, 0}, {1, 2}, {3, 4}, {65534, 65535}, {65535, 65535}};
    for (const Case& c : cases) {
        RefGif gif;
        gif.screenWidth = 2;
        gif.screenHeight = 2;
        gif.globalColors = kPalette4;
        gif.loopCount = c.stored;
        gif.images = {SolidRefImage(0, 0, 2, 2, 1)};
        CQVDoc doc;
        ASSERT_TRUE(OpenGifDocument(doc, Encode(gif), "loop.gif").ok());
        EXPECT_EQ(doc.GetAnimation().loopCount, c.plays) << c.stored.value_or(-1);
        EXPECT_EQ(doc.GetAnimation().FirstFrame()->duration, 100u);  // one image: not animated
    }
    EXPECT_EQ(DocumentLoopCount(false, 5), 1u);
}

TEST(OpenGifTest, ScreenSizesOutsideTheCanvasRange) {
    auto gifOf = [](int screenW, int screenH, std::vector<RefImage> images) {
        RefGif gif;
        gif.screenWidth = screenW;
        gif.screenHeight = screenH;
        gif.globalColors = kPalette4;
        gif.images = std::move(images);
        return gif;
    };
    {
        CQVDoc doc;
        doc.GetAnimation().loopCount = 7;  // marks the document as it was
        const Status status = OpenGifDocument(doc, Encode(gifOf(1201, 10, {SolidRefImage(0, 0, 1, 1, 0)})), "big.gif");
        EXPECT_FALSE(status.ok());
        EXPECT_NE(status.message().find("1201 x 10"), std::string::npos) << status.message();
        EXPECT_NE(status.message().find("1200 x 1200"), std::string::npos) << status.message();
        EXPECT_EQ(doc.GetAnimation().loopCount, 7u);
        EXPECT_EQ(doc.GetAnimation().FrameCount(), 1u);
        EXPECT_EQ(doc.GetAnimation().Width(), 468);
    }
    {
        // A 0 x 0 screen takes the images' extent from (0, 0).
        CQVDoc doc;
        ASSERT_TRUE(OpenGifDocument(doc, Encode(gifOf(0, 0, {SolidRefImage(3, 4, 5, 2, 1), SolidRefImage(0, 0, 2, 9, 2)})), "").ok());
        EXPECT_EQ(doc.GetAnimation().Width(), 8);
        EXPECT_EQ(doc.GetAnimation().Height(), 9);
        // and only a zero side is replaced
        CQVDoc other;
        ASSERT_TRUE(OpenGifDocument(other, Encode(gifOf(20, 0, {SolidRefImage(3, 4, 5, 2, 1)})), "").ok());
        EXPECT_EQ(other.GetAnimation().Width(), 20);
        EXPECT_EQ(other.GetAnimation().Height(), 6);
    }
    {
        CQVDoc doc;
        const Status status = OpenGifDocument(doc, Encode(gifOf(0, 0, {})), "");
        EXPECT_FALSE(status.ok());
        EXPECT_FALSE(status.message().empty());
        // an image extent above the limit is refused like a screen
        EXPECT_FALSE(OpenGifDocument(doc, Encode(gifOf(0, 0, {SolidRefImage(1300, 0, 1, 1, 0)})), "").ok());
        EXPECT_EQ(doc.GetAnimation().Width(), 468);
    }
}

// A GIF cut at every byte of its image data: what was decoded opens, the
// rest of the image is transparent, and the cut is told once; a cut before
// the first pixel leaves no image and is refused.
TEST(OpenGifTest, AFileCutInsideAnImageOpensWithWhatWasDecoded) {
    std::mt19937 random(8);
    RefImage image = SolidRefImage(0, 0, 24, 16, 0);
    for (auto& index : image.indices) index = std::uint8_t(random() % 4);
    RefGif gif;
    gif.screenWidth = 24;
    gif.screenHeight = 16;
    gif.globalColors = kPalette4;
    gif.images = {image};
    const std::vector<std::uint8_t> whole = Encode(gif);
    std::size_t lastDecoded = 0;
    int warned = 0;
    for (std::size_t cut = 13 + 3 * 4; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::vector<std::uint8_t> bytes(whole.begin(), whole.begin() + std::ptrdiff_t(cut));
        CQVDoc doc;
        const Status status = OpenGifDocument(doc, bytes, "cut.gif");
        if (!status) {
            EXPECT_EQ(status.message(), "cut.gif holds no image.");
            EXPECT_EQ(lastDecoded, 0u) << "refused after pixels were decoded";
            continue;
        }
        const CanvasItem* item = doc.GetAnimation().FirstFrame()->Bottom();
        ASSERT_NE(item, nullptr);
        const PackedDib& pixels = item->Image();
        // Decoded pixels are the image's own; from the first undecoded one on, all are transparent.
        std::size_t decoded = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 24; ++x) {
                const std::size_t at = std::size_t(y * 24 + x);
                const RgbTriple c = kPalette4[image.indices[at]];
                const PixelValue p = pixels.Row(y)[x];
                if (p == kTransparentWhite) continue;
                ASSERT_EQ(decoded, at) << "a decoded pixel after an undecoded one";
                ASSERT_EQ(p, MakePixel(c.red, c.green, c.blue));
                ++decoded;
            }
        }
        EXPECT_GE(decoded, lastDecoded);
        lastDecoded = decoded;
        const bool incomplete = decoded < image.indices.size();
        EXPECT_EQ(item->BlendWithBeneath(), incomplete);
        if (incomplete) {
            ++warned;
            EXPECT_EQ(doc.openWarning, "The file ends early: image 1 of cut.gif is incomplete.");
            // The canvas shows what lies beneath the lost pixels: the frame's background.
            EXPECT_EQ(doc.GetAnimation().FirstFrame()->Image().Row(15)[23] & 0x00FFFFFF, kOpaqueWhite);
        } else {
            EXPECT_EQ(doc.openWarning, "");
        }
    }
    EXPECT_EQ(lastDecoded, image.indices.size());
    EXPECT_GT(warned, 10);
}

// JPEG and PNG files cut short open with the rows they hold, the lost rows
// showing the frame's background (not a grey or black band), and the cut
// is told once; whole files open without a word.
TEST(OpenPictureTest, AFileCutShortOpensWithItsRowsAndIsTold) {
    PackedDib picture;
    ASSERT_TRUE(picture.SetSize(96, 96));
    std::mt19937 random(12);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) picture.Row(y)[x] = MakePixel(std::uint8_t(random()), 40, std::uint8_t(y));
    std::vector<std::uint8_t> jpeg;
    ASSERT_TRUE(test::Ok(JpegCodec().WriteJpeg(jpeg, picture)));
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(PngEncoder().Encode(picture, PngAlpha::Inverse, png));
    const struct {
        FileKind kind;
        const std::vector<std::uint8_t>& bytes;
        const char* name;
    } files[] = {{FileKind::Jpeg, jpeg, "cut.jpg"}, {FileKind::Png, png, "cut.png"}};
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        CQVDoc whole;
        ASSERT_TRUE(OpenPictureDocument(whole, file.kind, file.bytes, file.name).ok());
        EXPECT_EQ(whole.openWarning, "");
        EXPECT_FALSE(whole.GetAnimation().FirstFrame()->Bottom()->BlendWithBeneath());

        const std::vector<std::uint8_t> cut(file.bytes.begin(), file.bytes.begin() + std::ptrdiff_t(file.bytes.size() * 3 / 4));
        CQVDoc doc;
        ASSERT_TRUE(OpenPictureDocument(doc, file.kind, cut, file.name).ok());
        EXPECT_EQ(doc.openWarning, std::string("The file ends early: ") + file.name + " is incomplete.");
        const AnimFrame& frame = *doc.GetAnimation().FirstFrame();
        EXPECT_TRUE(frame.Bottom()->BlendWithBeneath());
        // The first row is the picture's, the last the white background's.
        EXPECT_EQ(frame.Image().Row(0)[0], whole.GetAnimation().FirstFrame()->Image().Row(0)[0]);
        const PackedDib& image = frame.Image();
        EXPECT_EQ(image.Row(image.Height() - 1)[image.Width() - 1] & 0x00FFFFFF, kOpaqueWhite);
    }
}

TEST(OpenGifTest, AHeaderFollowedByGarbageHoldsNoImage) {
    RefGif gif;
    gif.screenWidth = 20;
    gif.screenHeight = 10;
    gif.globalColors = kPalette4;
    std::vector<std::uint8_t> bytes = Encode(gif);
    bytes.pop_back();  // the trailer
    std::mt19937 random(9);
    for (int i = 0; i < 4000; ++i) {
        std::uint8_t b = std::uint8_t(random());
        if (b == 0x2C || b == 0x21 || b == 0x3B) b = 0x55;  // no block starts
        bytes.push_back(b);
    }
    CQVDoc doc;
    const Status status = OpenGifDocument(doc, bytes, "/somewhere/garbage.gif");
    EXPECT_EQ(status.message(), "garbage.gif holds no image.");
    EXPECT_EQ(doc.GetAnimation().Width(), 468);
    EXPECT_TRUE(doc.PathName().empty());
}

TEST(OpenGifTest, NotAGifLeavesTheDocumentAlone) {
    CQVDoc doc;
    const std::vector<std::uint8_t> junk = {'P', 'N', 'G', 1, 2, 3};
    const Status status = OpenGifDocument(doc, junk, "junk.gif");
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), kNoGifFormat);
    EXPECT_EQ(doc.GetAnimation().FrameCount(), 1u);
    EXPECT_FALSE(OpenGifDocument(doc, test::ScratchDir("open-missing") / "none.gif").ok());
}

TEST(OpenGifTest, MemoryBudgetIsCheckedBeforeAnyFrameIsBuilt) {
    // 400 one-pixel images on a 1200 x 1200 screen: a few kilobytes of file,
    // 400 frames of 5.5 MiB each as a document.
    RefGif gif;
    gif.screenWidth = 1200;
    gif.screenHeight = 1200;
    gif.globalColors = kPalette4;
    for (int i = 0; i < 400; ++i) gif.images.push_back(SolidRefImage(i, i, 1, 1, 1));
    const auto bytes = Encode(gif);
    EXPECT_LT(bytes.size(), 20000u);
    GifFile parsed;
    ASSERT_TRUE(parsed.ReadGif(bytes).ok());
    const std::uint64_t frameBytes = 1200ull * 1200 * 4 + kItemOverheadBytes;
    EXPECT_EQ(EstimateGifImportBytes(parsed, 1200, 1200, 1), 400 * (8 + kItemOverheadBytes) + 399 * frameBytes);
    EXPECT_GT(399 * frameBytes, kDocumentMemoryBudget);

    CQVDoc doc;
    const Status status = OpenGifDocument(doc, bytes, "many.gif");
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("MiB"), std::string::npos) << status.message();
    EXPECT_NE(status.message().find("2048"), std::string::npos) << status.message();
    EXPECT_EQ(doc.GetAnimation().FrameCount(), 1u);
    EXPECT_EQ(doc.GetAnimation().Width(), 468);
}

TEST(OpenGifTest, EstimateCountsClearedAreasAndExistingFrames) {
    RefGif gif;
    gif.screenWidth = 10;
    gif.screenHeight = 10;
    gif.globalColors = kPalette4;
    gif.images = {SolidRefImage(0, 0, 10, 10, 0), SolidRefImage(8, 8, 4, 4, 1), SolidRefImage(0, 0, 1, 1, 2),
                  SolidRefImage(0, 0, 1, 1, 2)};
    gif.images[1].hasControl = true;
    gif.images[1].disposal = 2;  // clears (8, 8) to (10, 10) under images 3 ...
    gif.images[2].hasControl = true;
    gif.images[2].disposal = 3;  // ... and again under image 4
    GifFile parsed;
    ASSERT_TRUE(parsed.ReadGif(Encode(gif)).ok());
    const std::uint64_t images = (100 + 16 + 1 + 1) * 8 + 4 * kItemOverheadBytes;
    const std::uint64_t cleared = 2 * (4 * 8 + kItemOverheadBytes);
    EXPECT_EQ(EstimateGifImportBytes(parsed, 10, 10, 1), images + cleared + 3 * (400 + kItemOverheadBytes));
    EXPECT_EQ(EstimateGifImportBytes(parsed, 10, 10, 4), images + cleared);
}

TEST(OpenGifTest, FileNamesAndFlagsOfTheOpenedAnimation) {
    RefGif gif;
    gif.screenWidth = 3;
    gif.screenHeight = 3;
    gif.globalColors = kPalette4;
    gif.images = {SolidRefImage(0, 0, 3, 3, 1), SolidRefImage(0, 0, 3, 3, 2)};
    const auto dir = test::ScratchDir("open-names");
    const auto path = dir / "Walk.GIF";
    ASSERT_TRUE(test::EncodeWithGiflib(gif, path));
    CQVDoc doc;
    ASSERT_TRUE(OpenGifDocument(doc, path).ok());
    const Animation& animation = doc.GetAnimation();
    EXPECT_TRUE(animation.hasAnimationFile);
    EXPECT_FALSE(animation.isNative);
    EXPECT_EQ(animation.animationExt, "gif");
    EXPECT_EQ(animation.animationName, "Walk.GIF");
    EXPECT_EQ(animation.animationTitle, "Walk");
    EXPECT_EQ(std::filesystem::path(animation.animationPath), std::filesystem::absolute(path));
    EXPECT_EQ(animation.FrameCount(), 2u);
    EXPECT_EQ(animation.Frames()[1]->duration, 0u);  // animated: the file's delay
    EXPECT_FALSE(doc.IsModified());
}

// A w x h JPEG of one colour, written by the program's own codec.
std::filesystem::path WriteJpeg(const std::filesystem::path& dir, const char* name, int width, int height) {
    JpegCodec codec(10);
    const auto path = dir / name;
    EXPECT_TRUE(test::Ok(codec.WriteJpeg(path, test::SolidImage(width, height, 0x00406080))));
    return path;
}

TEST(ImportFileTest, JpegLandsCentredOnTheWorkArea) {
    const auto dir = test::ScratchDir("import-jpeg");
    const auto jpeg = WriteJpeg(dir, "photo.JPEG", 20, 10);
    CQVDoc doc;
    Animation& animation = doc.GetAnimation();
    animation.SetSize(100, 50);
    AnimFrame* frame = animation.FirstFrame();
    frame->AppendItem(test::SolidItem({0, 0, 5, 5}, 0));
    ASSERT_TRUE(ImportFile(doc, jpeg, frame).ok());
    ASSERT_EQ(frame->CountItems(), 2);
    EXPECT_EQ(frame->Top()->Kind(), ItemKind::Bitmap);
    EXPECT_EQ(frame->Top()->Bounds(), (Rect{590, 595, 610, 605}));
    const PixelValue shown = frame->Image().GetPixel(50, 25);  // rendered at once
    EXPECT_NEAR(RedOf(shown), 0x40, 3);
    EXPECT_NEAR(BlueOf(shown), 0x80, 3);

    for (const char* bad : {"missing.jpg", "notes.txt", "missing.gif"}) {
        EXPECT_FALSE(ImportFile(doc, dir / bad, frame).ok()) << bad;
        EXPECT_EQ(frame->CountItems(), 2) << bad;
    }
}

TEST(ImportFileTest, ImportFilesMakesOneFramePerFileAndMarksTheDocument) {
    const auto dir = test::ScratchDir("import-files");
    RefGif gif;
    gif.screenWidth = 4;
    gif.screenHeight = 4;
    gif.globalColors = kPalette4;
    gif.images = {SolidRefImage(0, 0, 4, 4, 2)};
    ASSERT_TRUE(test::EncodeWithGiflib(gif, dir / "a.gif"));
    const std::vector<std::filesystem::path> paths = {dir / "a.gif", WriteJpeg(dir, "b.jpg", 8, 8),
                                                      WriteJpeg(dir, "c.jpe", 6, 4)};
    CQVDoc doc;
    Animation& animation = doc.GetAnimation();
    animation.FirstFrame()->duration = 250;
    ASSERT_TRUE(ImportFiles(doc, paths, animation.FirstFrame()).ok());
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(animation.FrameCount(), 3u);
    for (const auto& frame : animation.Frames()) {
        EXPECT_EQ(frame->duration, 250u);
        EXPECT_EQ(frame->CountItems(), 1);
    }
    EXPECT_EQ(animation.Frames()[0]->Top()->Bounds(), (Rect{598, 598, 602, 602}));
    EXPECT_EQ(animation.Frames()[2]->Top()->Bounds(), (Rect{597, 598, 603, 602}));
}

TEST(ImportFileTest, GifIntoAnExistingDocumentReusesFollowingFrames) {
    const auto dir = test::ScratchDir("import-gif");
    RefGif gif;
    gif.screenWidth = 2;
    gif.screenHeight = 2;
    gif.globalColors = kPalette4;
    gif.images = {SolidRefImage(0, 0, 2, 2, 0), SolidRefImage(1, 1, 1, 1, 1), SolidRefImage(0, 0, 1, 1, 2)};
    ASSERT_TRUE(test::EncodeWithGiflib(gif, dir / "small.gif"));
    CQVDoc doc;
    Animation& animation = doc.GetAnimation();
    AnimFrame* first = animation.FirstFrame();
    AnimFrame* second = animation.AppendFrame();
    first->AppendItem(test::SolidItem({0, 0, 1, 1}, 0));
    ASSERT_TRUE(ImportFile(doc, dir / "small.gif", second).ok());
    ASSERT_EQ(animation.FrameCount(), 4u);  // second reused, two appended
    EXPECT_EQ(first->CountItems(), 1);
    EXPECT_EQ(second->CountItems(), 1);
    EXPECT_EQ(second->Top()->Bounds(), (Rect{599, 599, 601, 601}));
    EXPECT_EQ(animation.Frames()[2]->BackgroundFrame(), second);
    EXPECT_EQ(animation.Frames()[3]->Top()->Bounds(), (Rect{599, 599, 600, 600}));
}

}  // namespace
}  // namespace vantrel
