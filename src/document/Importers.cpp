#include "document/Importers.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "codec/JpegCodec.h"
#include "codec/PngCodec.h"
#include "core/FileIO.h"
#include "document/BitmapItem.h"
#include "document/WorkArea.h"

namespace vantrel {
namespace {

std::uint64_t Area(int width, int height) { return std::uint64_t(width) * std::uint64_t(height); }

}  // namespace

GifScreenSize EffectiveScreen(const GifFile& gif) {
    GifScreenSize screen{gif.screenWidth, gif.screenHeight};
    if (screen.width != 0 && screen.height != 0) return screen;
    int right = 0;
    int bottom = 0;
    for (const GifImage& image : gif.images) {
        if (image.width == 0 || image.height == 0) continue;
        right = std::max(right, image.left + image.width);
        bottom = std::max(bottom, image.top + image.height);
    }
    if (screen.width == 0) screen.width = right;
    if (screen.height == 0) screen.height = bottom;
    return screen;
}

namespace {

Rect ImageRect(const GifImage& image) {
    return {image.left, image.top, image.left + image.width, image.top + image.height};
}

// Records after the last one holding pixels (a control extension after the
// last image leaves such a record) make no frames.
std::size_t ImportedRecordCount(const GifFile& gif) {
    std::size_t count = gif.images.size();
    while (count > 0 && Area(gif.images[count - 1].width, gif.images[count - 1].height) == 0) --count;
    return count;
}

// What a "restore to background" disposal of an image clears: the whole
// screen, or the part of the screen under the image (possibly nothing).
struct Cleared {
    bool wholeScreen = false;
    Rect part;
};

Cleared ClearedByDisposal(const GifImage& image, const GifScreenSize& screen) {
    const Rect r = ImageRect(image);
    if (!r.IsEmpty() && r.left <= 0 && r.top <= 0 && r.right >= screen.width && r.bottom >= screen.height)
        return {true, {}};
    return {false, Intersect(r, Rect{0, 0, screen.width, screen.height})};
}

// What lies beneath a frame made from one GIF image: the frame whose picture
// lies under it, and a rectangle of the screen cleared to the background
// colour on top of that.
struct Base {
    AnimFrame* frame = nullptr;
    std::optional<Rect> cleared;
};

// What the next image lies on after image (shown in frame, which lay on base)
// is disposed of.
Base BaseAfter(const GifImage& image, AnimFrame* frame, const Base& base, const GifScreenSize& screen) {
    switch (image.disposal) {
    case 2: {  // restore to background
        const Cleared cleared = ClearedByDisposal(image, screen);
        if (cleared.wholeScreen) return {};
        if (cleared.part.IsEmpty()) return {frame, std::nullopt};
        return {frame, cleared.part};
    }
    case 3:  // restore to previous: what lay under the image
        return base;
    default:  // 0 unspecified, 1 leave in place, 4-7 undefined: left in place
        return {frame, std::nullopt};
    }
}

// An opaque item of the frame's background colour covering a cleared screen
// rectangle, at the bottom of the frame.
void AddClearedArea(AnimFrame& frame, const Rect& cleared, Point screenOrigin) {
    PackedDib fill;
    if (!fill.SetSize(cleared.Width(), cleared.Height())) return;
    fill.FillRect(frame.backgroundColor);
    auto item = BitmapItem::FromImage(std::move(fill));
    item->MoveTo(screenOrigin.x + cleared.left, screenOrigin.y + cleared.top);
    frame.InsertAtBottom(std::move(item))->SetSelected(false);
}

// The file's name as messages give it.
std::string DisplayName(const std::filesystem::path& path) {
    return path.empty() ? std::string("The file") : path.filename().string();
}

// Decodes a JPEG or PNG picture; cutShort tells whether the file ended
// before it (the rows it never held are then transparent).
Status ReadPicture(FileKind kind, std::span<const std::uint8_t> bytes, std::unique_ptr<PackedDib>& image,
                   bool& cutShort) {
    if (kind == FileKind::Jpeg) {
        JpegCodec codec;
        if (Status status = codec.ReadJpeg(bytes); !status) return status;
        image = codec.TakeImage();
        cutShort = codec.cutShort();
    } else {
        PngCodec codec;
        if (Status status = codec.ReadPng(bytes); !status) return status;
        image = codec.TakeImage();
        cutShort = codec.cutShort();
    }
    if (!image || !image->HasBlock()) return Status::Error("The file holds no picture.");
    return Status::Ok();
}

// One bitmap item holding the picture, appended on top of frame and centred
// on the work area's centre. Messages start with the file's name; cutShort,
// when given, tells whether the file ended before the picture did.
Status ImportPicture(Animation& animation, FileKind kind, std::span<const std::uint8_t> bytes, AnimFrame* frame,
                     const std::filesystem::path& path, std::uint64_t memoryBudget, bool* cutShort = nullptr) {
    std::unique_ptr<PackedDib> image;
    bool incomplete = false;
    if (Status status = ReadPicture(kind, bytes, image, incomplete); !status)
        return Status::Error(path.string() + ": " + status.message());
    if (cutShort != nullptr) *cutShort = incomplete;
    DocumentMemory memory = MemoryOf(animation);
    memory.itemBytes += ItemMemoryBytes(std::uint64_t(image->Width()), std::uint64_t(image->Height()));
    if (Status fits = CheckDocumentMemory(memory, memoryBudget); !fits) return fits;
    // The rows a damaged file never held show what lies beneath them.
    auto item = BitmapItem::FromImage(std::move(*image), incomplete);
    // New items start at (0, 0), so this centres the picture on the work area.
    item->MoveCentreTo({kWorkAreaSize / 2, kWorkAreaSize / 2});
    frame->AppendItem(std::move(item));
    animation.RenderFrom(frame);
    return Status::Ok();
}

}  // namespace

std::uint32_t DocumentLoopCount(bool hasLoopExtension, std::int32_t rawLoopCount) {
    if (!hasLoopExtension) return 1;
    if (rawLoopCount <= 0) return 0;
    return std::min<std::uint32_t>(std::uint32_t(rawLoopCount) + 1, kMaxLoopCount);
}

std::uint64_t EstimateGifImportBytes(const GifFile& gif, int canvasWidth, int canvasHeight,
                                     std::size_t existingFrames) {
    const GifScreenSize screen = EffectiveScreen(gif);
    const std::size_t records = ImportedRecordCount(gif);
    std::uint64_t bytes = 0;
    Base base;  // only its cleared rectangle matters here
    for (std::size_t i = 0; i < records; ++i) {
        const GifImage& image = gif.images[i];
        // the item made of the image (an empty image makes none)
        if (Area(image.width, image.height) != 0) bytes += ItemMemoryBytes(image.width, image.height);
        // an item clearing part of the screen
        if (base.cleared) bytes += ItemMemoryBytes(base.cleared->Width(), base.cleared->Height());
        base = BaseAfter(image, nullptr, base, screen);
    }
    if (records > existingFrames)
        bytes += (records - existingFrames) * FrameMemoryBytes(std::uint64_t(canvasWidth), std::uint64_t(canvasHeight));
    return bytes;
}

Status ImportGif(Animation& animation, GifFile& gif, AnimFrame* frame, std::uint64_t memoryBudget,
                 GifImportNotes* notes, ProgressSteps* progress) {
    GifImportNotes found;
    if (animation.IndexOf(frame) < 0) return Status::Error("The frame to import into is not in the animation.");
    const GifScreenSize screen = EffectiveScreen(gif);
    const std::size_t records = ImportedRecordCount(gif);
    const std::size_t available = animation.FrameCount() - std::size_t(animation.IndexOf(frame));
    const std::uint64_t needed =
        MemoryOf(animation).Total() + EstimateGifImportBytes(gif, animation.Width(), animation.Height(), available);
    if (needed > memoryBudget) return Status::Error(DocumentTooLargeMessage(needed, memoryBudget));
    if (records == 0) return Status::Ok();

    const Point origin{(kWorkAreaSize - screen.width) / 2, (kWorkAreaSize - screen.height) / 2};
    if (progress != nullptr) progress->AddToTotal(records);
    std::vector<std::uint8_t> indices;  // one decoding buffer for every record
    Base base;                          // the first image lies on the bare background colour
    for (std::size_t i = 0; i < records; ++i) {
        GifImage& record = gif.images[i];
        // The frame is linked to what lies beneath it first, so that every
        // composite is built once, over the right backdrop.
        const bool hadItems = !frame->IsEmpty();
        frame->LinkBackgroundFrame(base.frame);
        if (hadItems) frame->UpdateAllComposites();
        if (base.cleared) AddClearedArea(*frame, *base.cleared, origin);
        PackedDib pixels;
        std::size_t decoded = 0;
        if (gif.DecodePixels(record, indices, pixels, &decoded) && pixels.HasBlock()) {
            const bool incomplete = decoded < std::size_t{record.width} * record.height;
            if (incomplete && record.dataCutShort && found.cutShortImage == 0) found.cutShortImage = i + 1;
            found.decodedPixels += decoded;
            // Undecoded pixels are transparent: the item shows what lies beneath them.
            auto item = BitmapItem::FromImage(std::move(pixels), record.transparent || incomplete);
            item->MoveTo(origin.x + record.left, origin.y + record.top);
            frame->AppendItem(std::move(item));
        }
        // The compressed data of this record is no longer needed.
        std::vector<std::uint8_t>().swap(record.compressedData);
        frame->Render();
        if (gif.animated) frame->duration = record.delay;
        if (progress != nullptr && !progress->Step()) return Status::Error(std::string(kStoppedByUser));

        if (i + 1 < records) {
            base = BaseAfter(record, frame, base, screen);
            AnimFrame* next = animation.NextFrame(frame);
            // A new frame is rendered above, once its items are in place.
            frame = next != nullptr ? next : animation.AppendUnrenderedFrame();
        }
    }
    // Frames after the imported ones may lie over them.
    if (AnimFrame* after = animation.NextFrame(frame)) animation.RenderFrom(after);
    if (notes != nullptr) *notes = found;
    return Status::Ok();
}

Status OpenGifDocument(CQVDoc& doc, const std::filesystem::path& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return bytes.status();
    return OpenGifDocument(doc, *bytes, path);
}

Status OpenGifDocument(CQVDoc& doc, std::span<const std::uint8_t> bytes, const std::filesystem::path& path,
                       ProgressSteps* progress) {
    GifFile gif;
    if (Status read = gif.ReadGif(bytes); !read) return read;
    const GifScreenSize screen = EffectiveScreen(gif);
    char message[200];
    if (screen.width == 0 || screen.height == 0) {
        return Status::Error("The GIF has no logical screen size and no image to take one from.");
    }
    if (screen.width > kWorkAreaSize || screen.height > kWorkAreaSize) {
        std::snprintf(message, sizeof message,
                      "The GIF's logical screen is %d x %d pixels; a frame can be at most %d x %d.",
                      screen.width, screen.height, kWorkAreaSize, kWorkAreaSize);
        return Status::Error(message);
    }

    // Built apart and put in place only when complete, so that a failure
    // leaves the document as it was.
    auto animation = std::make_unique<Animation>();
    animation->SetSize(screen.width, screen.height);
    GifImportNotes notes;
    if (Status status = ImportGif(*animation, gif, animation->FirstFrame(), doc.limits.memoryBudget, &notes, progress);
        !status)
        return status;
    // A header followed by nothing an image could be decoded from.
    const std::string name = DisplayName(path);
    if (notes.decodedPixels == 0) return Status::Error(name + " holds no image.");
    if (Status fits = CheckDocumentLimits(*animation, doc.limits); !fits) return fits;

    animation->loopCount = DocumentLoopCount(gif.hasLoopExtension, gif.loopCount);
    if (!path.empty()) animation->SetAnimationFile(path);
    animation->isNative = false;
    doc.ReplaceAnimation(std::move(animation));
    if (!path.empty()) doc.SetPathName(path);
    doc.SetModifiedFlag(false);
    doc.openWarning = notes.cutShortImage == 0 ? std::string()
                                               : "The file ends early: image " + std::to_string(notes.cutShortImage) +
                                                     " of " + name + " is incomplete.";
    return Status::Ok();
}

Status OpenPictureDocument(CQVDoc& doc, FileKind kind, std::span<const std::uint8_t> bytes,
                           const std::filesystem::path& path) {
    if (kind != FileKind::Jpeg && kind != FileKind::Png)
        return Status::Error("Only JPEG and PNG files open as pictures: " + path.filename().string());
    auto animation = std::make_unique<Animation>();
    bool cutShort = false;
    if (Status status = ImportPicture(*animation, kind, bytes, animation->FirstFrame(), path,
                                      doc.limits.memoryBudget, &cutShort);
        !status)
        return status;
    animation->AutoFrameSize(nullptr);
    // Built apart: the canvas it grew to is counted before it is put in place.
    if (Status fits = CheckDocumentLimits(*animation, doc.limits); !fits) return fits;
    animation->isNative = false;
    doc.ReplaceAnimation(std::move(animation));
    if (!path.empty()) doc.SetPathName(path);
    doc.SetModifiedFlag(false);
    doc.openWarning = cutShort ? "The file ends early: " + DisplayName(path) + " is incomplete." : std::string();
    return Status::Ok();
}

Status ImportFile(CQVDoc& doc, const std::filesystem::path& path, AnimFrame* frame) {
    Animation& animation = doc.GetAnimation();
    if (animation.IndexOf(frame) < 0) return Status::Error("The frame to import into is not in the animation.");
    const FileFormat* format = FindFileFormat(path);
    if (format == nullptr || !format->importsIntoFrame)
        return Status::Error("Only " + FormatNames(FilePurpose::Import) +
                             " files can be imported: " + path.filename().string());
    if (format->kind == FileKind::Gif) {
        GifFile gif;
        // Of several files imported together, the refusal says which one it was.
        if (const Status read = gif.ReadGifFile(path); !read) return Status::Error(AboutPath(path, read.message()));
        return ImportGif(animation, gif, frame, doc.limits.memoryBudget);
    }
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return bytes.status();
    return ImportPicture(animation, format->kind, *bytes, frame, path, doc.limits.memoryBudget);
}

Status ImportFiles(CQVDoc& doc, std::span<const std::filesystem::path> paths, AnimFrame* frame) {
    Status first;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (i > 0) {
            if (Status fits = CheckFramesFit(doc, 1); !fits) {
                if (first) first = std::move(fits);
                break;
            }
            frame = doc.GetAnimation().AppendFrame();
        }
        Status status = ImportFile(doc, paths[i], frame);
        if (!status && first) first = std::move(status);
    }
    if (!paths.empty()) doc.SetModifiedFlag();
    return first;
}

}  // namespace vantrel
