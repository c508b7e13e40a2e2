#include "edit/ImportCommands.h"

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "document/Importers.h"
#include "edit/ItemCommands.h"

namespace vantrel {

namespace {

template <typename Object>
ObjectUid UidOf(const Object* object) {
    return object ? object->Uid() : 0;
}

void ApplySettings(Animation& animation, AnimFrame& frame, std::uint32_t duration, ObjectUid background) {
    frame.duration = duration;
    AnimFrame* wanted = background != 0 ? animation.FindFrameByUid(background) : nullptr;
    if (frame.BackgroundFrame() != wanted) frame.SetBackgroundFrame(wanted);
}

}  // namespace

ImportedStep ImportFileStep(CQVDoc& doc, std::string label, ObjectUid frame, std::filesystem::path path) {
    auto command = std::make_unique<ImportFileCommand>(std::move(label), frame, std::move(path));
    Status read = command->Import(doc);
    const bool changed = command->Changed();
    return {std::move(read), doc.History().PushDone(std::move(command), changed)};
}

ImportFileCommand::ImportFileCommand(std::string label, ObjectUid frame, std::filesystem::path path)
    : Command(std::move(label)), frame_(frame), path_(std::move(path)) {}

ImportFileCommand::~ImportFileCommand() = default;

Status ImportFileCommand::Import(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    AnimFrame* target = animation.FindFrameByUid(frame_);
    if (!target) return Status::Ok();
    // What the import may change: the target and the frames after it (a GIF
    // of several images continues there), and the list's end.
    struct Before {
        Touched touched;
        ObjectUid top;
    };
    std::vector<Before> before;
    const std::size_t oldCount = animation.FrameCount();
    for (std::size_t i = std::size_t(animation.IndexOf(target)); i < oldCount; ++i) {
        const AnimFrame& f = *animation.Frames()[i];
        before.push_back({{f.Uid(), {f.duration, UidOf(f.BackgroundFrame())}, {}, {}, {}}, UidOf(f.Top())});
    }

    const Status status = ImportFile(doc, path_, target);

    for (Before& b : before) {
        const AnimFrame* f = animation.FindFrameByUid(b.touched.uid);
        if (!f) continue;
        b.touched.after = {f->duration, UidOf(f->BackgroundFrame())};
        // New items lie above the old top item.
        const CanvasItem* item = b.top != 0 ? f->FindItemByUid(b.top) : nullptr;
        for (item = item ? item->Next() : f->Bottom(); item != nullptr; item = item->Next())
            b.touched.added.push_back(item->Uid());
        if (b.touched.added.empty() && b.touched.after.duration == b.touched.before.duration &&
            b.touched.after.background == b.touched.before.background)
            continue;
        touched_.push_back(std::move(b.touched));
    }
    for (std::size_t i = oldCount; i < animation.FrameCount(); ++i) {
        const AnimFrame& f = *animation.Frames()[i];
        appended_.push_back({f.Uid(), UidOf(f.BackgroundFrame()), nullptr});
    }
    if (Changed()) doc.AnimationChanged();
    return status;
}

void ImportFileCommand::Undo(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    // Appended frames lie over nothing the undo keeps: the last goes first.
    for (auto it = appended_.rbegin(); it != appended_.rend(); ++it) {
        const std::ptrdiff_t index = animation.IndexOf(animation.FindFrameByUid(it->uid));
        if (index >= 0) it->held = animation.TakeFrame(std::size_t(index));
    }
    AnimFrame* first = nullptr;
    for (Touched& t : touched_) {
        AnimFrame* f = animation.FindFrameByUid(t.uid);
        if (!f) continue;
        if (!first) first = f;
        t.held.clear();
        for (const ObjectUid uid : t.added)
            if (CanvasItem* item = f->FindItemByUid(uid)) t.held.push_back(f->Unlink(item));
        ApplySettings(animation, *f, t.before.duration, t.before.background);
        f->UpdateAllComposites();
    }
    animation.RenderFrom(first ? first : animation.FirstFrame());
    doc.AnimationChanged();
}

bool ImportFileCommand::Execute(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    for (Appended& a : appended_)
        if (a.held) animation.PutFrame(animation.FrameCount(), std::move(a.held));
    AnimFrame* first = nullptr;
    for (Touched& t : touched_) {
        AnimFrame* f = animation.FindFrameByUid(t.uid);
        if (!f) continue;
        if (!first) first = f;
        for (auto& item : t.held) f->InsertAbove(f->Top(), std::move(item));
        t.held.clear();
        ApplySettings(animation, *f, t.after.duration, t.after.background);
    }
    for (const Appended& a : appended_)
        if (AnimFrame* f = animation.FindFrameByUid(a.uid)) ApplySettings(animation, *f, f->duration, a.background);
    animation.RenderFrom(first ? first : animation.FirstFrame());
    doc.AnimationChanged();
    return true;
}

std::size_t ImportFileCommand::MemoryBytes() const {
    std::size_t bytes = 0;
    for (const Touched& t : touched_)
        for (const auto& item : t.held)
            if (item) bytes += ItemBytes(*item);
    for (const Appended& a : appended_) {
        if (!a.held) continue;
        bytes += a.held->Image().SizeImage();
        for (const CanvasItem* item : a.held->BottomToTop()) bytes += ItemBytes(*item);
    }
    return bytes;
}

}  // namespace vantrel
