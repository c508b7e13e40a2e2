#include "document/DocumentFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/ByteWriter.h"
#include "core/FileIO.h"
#include "document/DocumentSnapshot.h"
#include "document/ItemPack.h"
#include "document/WorkArea.h"

namespace vantrel {

namespace {

// The message for a save that could not produce the document's bytes.
constexpr std::string_view kNoMemoryToSave = "There is not enough memory to save this document.";

Status FormatError() { return Status::Error(std::string(kUnexpectedFileFormat)); }

// ---- storing ----

void StoreFrame(const DocumentSnapshot::Frame& frame, Archive& archive) {
    archive.WriteString(kFrameTag);
    archive.WriteU32(frame.id);
    archive.WriteU32(frame.backgroundId);
    archive.WriteU32(frame.master ? 1 : 0);
    archive.WriteU32(frame.duration);
    archive.WriteU32(frame.backgroundColor);
    for (const auto& item : frame.items) {
        const auto record = item->SaveRecord();
        // An item without a record (none, or no memory for it) is left out.
        if (!record || record->empty() || record->size() > std::numeric_limits<std::uint32_t>::max()) continue;
        archive.WriteU32(static_cast<std::uint32_t>(record->size()));
        archive.Write(*record);
    }
    archive.WriteU32(0);
}

void StoreSnapshot(const DocumentSnapshot& snapshot, Archive& archive) {
    archive.WriteString(kDocumentMagic);
    std::vector<std::uint8_t> font;
    ByteWriter fontWriter(font);
    snapshot.defaultFont.WriteTo(fontWriter);
    archive.Write(font);
    archive.WriteI32(snapshot.width);
    archive.WriteI32(snapshot.height);
    archive.WriteU32(snapshot.loopCount);
    for (const auto& frame : snapshot.frames) StoreFrame(frame, archive);
    archive.WriteU32(0);
}

DocumentSnapshot TakeSnapshot(const CQVDoc& doc) {
    const Animation& animation = doc.GetAnimation();
    DocumentSnapshot snapshot;
    snapshot.defaultFont = doc.defaultFont;
    snapshot.width = animation.Width();
    snapshot.height = animation.Height();
    snapshot.loopCount = animation.loopCount;
    // Ids are list positions from 1: unique, non-zero, and the same on every save.
    std::unordered_map<const AnimFrame*, std::uint32_t> ids;
    const auto frames = animation.Frames();
    for (std::size_t i = 0; i < frames.size(); ++i) ids.emplace(frames[i].get(), static_cast<std::uint32_t>(i + 1));
    snapshot.frames.reserve(frames.size());
    for (const auto& frame : frames) {
        DocumentSnapshot::Frame& stored = snapshot.frames.emplace_back();
        const auto background = ids.find(frame->BackgroundFrame());
        stored.id = ids.at(frame.get());
        stored.backgroundId = background != ids.end() ? background->second : 0;
        stored.master = frame->isMaster;
        stored.duration = frame->duration;
        stored.backgroundColor = frame->backgroundColor;
        for (const CanvasItem* item : frame->BottomToTop()) stored.items.push_back(item->Clone());
    }
    return snapshot;
}

// Runs store, which writes into archive, and flushes the archive; what
// fails becomes the status.
template <class Store>
Status StoreAndFlush(Archive& archive, Store store) {
    try {
        store();
        archive.Flush();
        return Status::Ok();
    } catch (const ArchiveError&) {
        return Status::Error(archive.FileName().string() + ": the document could not be written");
    } catch (const std::bad_alloc&) {
        return Status::Error(std::string(kNoMemoryToSave));
    }
}

// Writes the whole document and flushes it. A document its own reader would
// refuse is not written at all.
Status StoreFlushed(const CQVDoc& doc, Archive& archive) {
    if (Status fits = CheckDocumentFits(doc); !fits) return fits;
    return StoreAndFlush(archive, [&] { StoreDocument(doc, archive); });
}

// ---- loading ----

// A tag: a counted string in the one-byte form (the only form the format
// writes). The empty tag is the first byte of the end marker.
std::string ReadTag(Archive& archive) {
    const std::size_t start = archive.Position();
    std::string tag = archive.ReadString(kMaxTagLength);
    if (archive.Position() - start != 1 + tag.size()) ThrowFormatError();
    return tag;
}

// Reads the item records of one frame, up to its 0 length. Once the budget
// is passed (frame is then null) the records are only checked and counted.
void LoadItems(AnimFrame* frame, Archive& archive, MemoryBudget& budget, std::uint64_t itemLimit) {
    std::uint64_t count = 0;
    for (std::uint32_t length = archive.ReadU32(); length != 0; length = archive.ReadU32()) {
        // The record must lie within the file before anything is made of it.
        const auto record = archive.ReadView(length);
        if (++count > itemLimit) ThrowFormatError();
        if (frame == nullptr || budget.Exceeded()) {
            const auto cost = ItemRecordCost(record);
            if (!cost) ThrowFormatError();
            budget.Take(*cost);
        } else if (CreateItemFromRecord(*frame, record, &budget, false) == nullptr && !budget.Exceeded()) {
            // Composites are built once, when the whole document has been read.
            ThrowFormatError();
        }
    }
}

}  // namespace

// ---- format operations ----

void StoreDocument(const CQVDoc& doc, Archive& archive) { StoreSnapshot(TakeSnapshot(doc), archive); }

std::optional<DocumentSnapshot> SnapshotDocument(const CQVDoc& doc) {
    if (!CheckDocumentFits(doc)) return std::nullopt;
    return TakeSnapshot(doc);
}

std::optional<std::vector<std::uint8_t>> SnapshotBytes(const DocumentSnapshot& snapshot) {
    std::vector<std::uint8_t> bytes;
    Archive archive = Archive::StoringTo(bytes);
    if (!StoreAndFlush(archive, [&] { StoreSnapshot(snapshot, archive); })) return std::nullopt;
    return bytes;
}

namespace {

// Bytes read per step of progress.
constexpr std::size_t kBytesPerStep = 64 * 1024;

// Counts the bytes read since the last look as steps; raises JobStopped on a stop.
class ReadingSteps {
public:
    ReadingSteps(ProgressSteps* progress, const Archive& archive)
        : progress_(progress), archive_(archive), counted_(archive.Position()),
          steps_(archive.Remaining() / kBytesPerStep + 1) {
        if (progress_ != nullptr) progress_->AddToTotal(steps_);
    }
    void Look() {
        const std::size_t steps = (archive_.Position() - counted_) / kBytesPerStep;
        counted_ += steps * kBytesPerStep;
        Take(steps);
    }
    // The reading is done: the steps not yet counted.
    void Finish() { Take(steps_ - taken_); }

private:
    void Take(std::size_t steps) {
        if (progress_ == nullptr) return;
        steps = std::min(steps, steps_ - taken_);
        taken_ += steps;
        if (!progress_->Step(steps)) throw JobStopped{};
    }
    ProgressSteps* progress_;
    const Archive& archive_;
    std::size_t counted_;
    std::size_t steps_;
    std::size_t taken_ = 0;
};

}  // namespace

void LoadDocument(CQVDoc& doc, Archive& archive, ProgressSteps* progress) {
    ReadingSteps reading(progress, archive);
    const DocumentLimits& limits = doc.limits;
    if (ReadTag(archive) != kDocumentMagic) ThrowFormatError();
    std::array<std::uint8_t, LogFont::kRecordSize> fontBytes{};
    archive.Read(fontBytes);
    const LogFont font = LogFont::ReadFrom(fontBytes);
    const std::int32_t width = archive.ReadI32();
    const std::int32_t height = archive.ReadI32();
    if (width < 1 || width > limits.canvasSide || height < 1 || height > limits.canvasSide) ThrowFormatError();
    const std::uint32_t loopCount = archive.ReadU32();
    std::string tag = ReadTag(archive);
    if (tag.empty()) ThrowFormatError();  // a document has at least one frame

    MemoryBudget budget(limits.memoryBudget);
    auto animation = std::make_unique<Animation>();
    animation->SetSize(width, height);
    animation->loopCount = loopCount;

    // Frames already read by the id they were saved with; the first one read wins.
    std::unordered_map<std::uint32_t, AnimFrame*> framesById;
    std::size_t index = 0;
    while (!tag.empty()) {
        if (tag != kFrameTag || index >= limits.frames) ThrowFormatError();
        // Past the budget no more frames are made; the rest of the file is
        // read only to count what the whole document would need.
        AnimFrame* frame = nullptr;
        if (budget.Take(FrameMemoryBytes(std::uint64_t(width), std::uint64_t(height))))
            frame = index < animation->FrameCount() ? animation->Frames()[index].get()
                                                    : animation->AppendUnrenderedFrame();  // rendered below
        ++index;
        const std::uint32_t savedId = archive.ReadU32();
        const std::uint32_t backgroundId = archive.ReadU32();
        const bool isMaster = archive.ReadU32() != 0;
        const std::uint32_t duration = archive.ReadU32();
        const std::uint32_t backgroundColor = archive.ReadU32();
        LoadItems(frame, archive, budget, limits.itemsPerFrame);
        if (frame != nullptr) {
            frame->savedId = savedId;
            frame->isMaster = isMaster;
            frame->duration = duration;
            frame->backgroundColor = backgroundColor;
            // Only earlier frames can lie beneath: this frame's own id is not known yet.
            const auto background = backgroundId != 0 ? framesById.find(backgroundId) : framesById.end();
            frame->LinkBackgroundFrame(background != framesById.end() ? background->second : nullptr);
            framesById.emplace(savedId, frame);
        }
        tag = ReadTag(archive);
        reading.Look();
    }
    // The rest of the end marker.
    const auto marker = archive.ReadView(3);
    if (std::any_of(marker.begin(), marker.end(), [](std::uint8_t b) { return b != 0; })) ThrowFormatError();
    if (budget.Exceeded()) throw DocumentTooLarge(budget);
    reading.Finish();

    // Every composite built and every frame rendered, in list order, so that
    // each frame's background is complete before the frames over it.
    if (progress == nullptr) {
        animation->RenderAll();
    } else {
        progress->AddToTotal(animation->FrameCount());
        if (!animation->RenderAll(*progress)) throw JobStopped{};
    }
    animation->isNative = true;
    doc.defaultFont = font;
    doc.ReplaceAnimation(std::move(animation));
}

// ---- reporting entries ----

std::optional<std::vector<std::uint8_t>> DocumentBytes(const CQVDoc& doc) {
    std::vector<std::uint8_t> bytes;
    Archive archive = Archive::StoringTo(bytes);
    if (!StoreFlushed(doc, archive)) return std::nullopt;
    return bytes;
}

namespace {

// Runs a read that raises the format's errors; each becomes the status that
// tells it (a damaged file, a document over the budget, no memory).
template <class Read>
Status ReadReported(Read read) {
    try {
        return read();
    } catch (const JobStopped&) {
        return Status::Error(std::string(kStoppedByUser));
    } catch (const ArchiveError&) {
        return FormatError();
    } catch (const DocumentTooLarge& tooLarge) {
        return Status::Error(tooLarge.what());
    } catch (const std::bad_alloc&) {
        return Status::Error(std::string(kNotEnoughMemory));
    }
}

Status SerializeWith(CQVDoc& doc, Archive& archive, ProgressSteps* progress) {
    const FileFormat* format = FindFileFormat(archive.FileName());
    return ReadReported([&]() -> Status {
        if (format == nullptr || (!archive.IsStoring() && !format->opensAsDocument)) return FormatError();
        if (archive.IsStoring()) {
            // Documents are written only as document files; the GIF
            // animation has its own export.
            return format->kind == FileKind::Document ? StoreFlushed(doc, archive) : FormatError();
        }
        switch (format->kind) {
        case FileKind::Document:
            LoadDocument(doc, archive, progress);
            return Status::Ok();
        case FileKind::Gif:
            return OpenGifDocument(doc, archive.ReadRest(), archive.FileName(), progress);
        case FileKind::Jpeg:
        case FileKind::Png:
            return OpenPictureDocument(doc, format->kind, archive.ReadRest(), archive.FileName());
        case FileKind::Webp:
        case FileKind::Apng:
            break;  // written only
        }
        return FormatError();
    });
}

}  // namespace

Status LoadDocumentBytes(CQVDoc& doc, std::span<const std::uint8_t> bytes) {
    return ReadReported([&] {
        Archive archive = Archive::Loading(bytes);
        LoadDocument(doc, archive);
        return Status::Ok();
    });
}

Status Serialize(CQVDoc& doc, Archive& archive) { return SerializeWith(doc, archive, nullptr); }

Status OpenDocument(CQVDoc& doc, const std::filesystem::path& path, const ProgressReport& progress) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return bytes.status();
    Archive archive = Archive::Loading(*bytes, path);
    ProgressSteps steps(progress);
    if (Status status = SerializeWith(doc, archive, &steps); !status) return status;
    doc.GetAnimation().isNative = HasDocumentExtension(path);
    doc.SetPathName(path);
    doc.SetModifiedFlag(false);
    return Status::Ok();
}

Status SaveDocument(CQVDoc& doc, const std::filesystem::path& path) {
    const std::filesystem::path target = WithDocumentExtension(path);
    Status stored;
    bool sinkRefused = false;
    const Status written = WriteFileAtomic(target, [&](const ByteSinkFn& sink) {
        const ByteSinkFn watched = [&](std::span<const std::uint8_t> piece) {
            sinkRefused = sinkRefused || !sink(piece);
            return !sinkRefused;
        };
        Archive archive = Archive::Storing(watched, target);
        stored = Serialize(doc, archive);
        return stored.ok();
    });
    // A refused write is best explained by the file writer (it knows the
    // system's reason); anything else by the document writer.
    if (!written) return stored.ok() || sinkRefused ? written : stored;
    doc.GetAnimation().isNative = true;
    doc.SetPathName(target);
    doc.SetModifiedFlag(false);
    return Status::Ok();
}

// ---- save rules ----

std::string FileExtensionLower(const std::filesystem::path& path) { return LowerCaseExtension(path); }

bool HasDocumentExtension(const std::filesystem::path& path) {
    const FileFormat* format = FindFileFormat(path);
    return format != nullptr && format->kind == FileKind::Document;
}

std::filesystem::path WithDocumentExtension(const std::filesystem::path& path) {
    if (HasDocumentExtension(path)) return path;
    std::filesystem::path extended = path;
    extended += ".";
    extended += kDocumentExtension;
    return extended;
}

std::optional<std::filesystem::path> SilentSavePath(const CQVDoc& doc) {
    if (!doc.GetAnimation().isNative || !HasDocumentExtension(doc.PathName())) return std::nullopt;
    return doc.PathName();
}

}  // namespace vantrel
