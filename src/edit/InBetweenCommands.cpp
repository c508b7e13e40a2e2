#include "edit/InBetweenCommands.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BitmapItem.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentMemory.h"
#include "document/EllipseItem.h"
#include "document/ItemPack.h"
#include "document/LabelItem.h"
#include "edit/FrameCommands.h"

namespace vantrel {

// ---- InsertFramesCommand ----

InsertFramesCommand::InsertFramesCommand(std::string label, ObjectUid after, int count)
    : Command(std::move(label)), after_(after), count_(count) {}

InsertFramesCommand::~InsertFramesCommand() = default;

std::pair<AnimFrame*, AnimFrame*> InsertFramesCommand::Ends(const CQVDoc& doc) const {
    const Animation& animation = doc.GetAnimation();
    AnimFrame* first = after_ != 0 ? animation.FindFrameByUid(after_) : nullptr;
    AnimFrame* second = first != nullptr ? animation.NextFrame(first) : nullptr;
    return {first, second};
}

Status InsertFramesCommand::Fits(const CQVDoc& doc) const {
    const auto [first, second] = Ends(doc);
    if (first == nullptr || second == nullptr) return Status::Error("There is no next frame to go to.");
    const FramesGrowth growth = Growth(doc, *first, *second);
    DocumentMemory memory = MemoryOf(doc.GetAnimation());
    memory.frames += growth.frames;
    memory.itemBytes += growth.itemBytes;
    if (memory.frames > doc.limits.frames)
        return Status::Error(TooManyFramesMessage(memory.frames, doc.limits.frames));
    return CheckDocumentMemory(memory, doc.limits.memoryBudget);
}

bool InsertFramesCommand::Execute(CQVDoc& doc) {
    const auto [first, second] = Ends(doc);
    if (first == nullptr) return false;
    if (uids_.empty()) {
        if (second == nullptr || count_ < 1 || !Fits(doc)) return false;
        held_ = Build(doc, *first, *second);
        if (held_.empty()) return false;
        for (const auto& frame : held_) {
            uids_.push_back(frame->Uid());
            backgrounds_.push_back(frame->BackgroundFrame() != nullptr ? frame->BackgroundFrame()->Uid() : 0);
        }
    }
    const auto index = std::size_t(doc.GetAnimation().IndexOf(first)) + 1;
    for (std::size_t i = 0; i < held_.size(); ++i) PutBack(doc, index + i, std::move(held_[i]), backgrounds_[i]);
    held_.clear();
    return true;
}

void InsertFramesCommand::Undo(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    held_.resize(uids_.size());
    // From the last, so that no frame is taken out from under a later one.
    for (std::size_t i = uids_.size(); i-- > 0;) {
        const AnimFrame* frame = animation.FindFrameByUid(uids_[i]);
        if (frame == nullptr) continue;
        backgrounds_[i] = frame->BackgroundFrame() != nullptr ? frame->BackgroundFrame()->Uid() : 0;
        held_[i] = TakeOut(doc, std::size_t(animation.IndexOf(frame)));
    }
    std::erase(held_, nullptr);
}

std::size_t InsertFramesCommand::MemoryBytes() const {
    std::size_t bytes = 0;
    for (const auto& frame : held_) bytes += FrameBytes(*frame);
    return bytes;
}

// ---- TransitionCommand ----

TransitionCommand::TransitionCommand(ObjectUid after, TransitionKind kind, int count, std::uint32_t duration)
    : InsertFramesCommand(std::string(TransitionTitle(kind)), after, std::clamp(count, 1, kMaxTransitionFrames)),
      kind_(kind),
      duration_(std::min(duration, kMaxFrameDuration)) {}

FramesGrowth TransitionCommand::Growth(const CQVDoc& doc, const AnimFrame&, const AnimFrame&) const {
    const Animation& animation = doc.GetAnimation();
    const auto count = std::uint64_t(Count());
    return {count, count * ItemMemoryBytes(std::uint64_t(animation.Width()), std::uint64_t(animation.Height()))};
}

std::vector<std::unique_ptr<AnimFrame>> TransitionCommand::Build(const CQVDoc& doc, const AnimFrame& first,
                                                                 const AnimFrame& second) const {
    const Rect& canvas = doc.GetAnimation().Canvas();
    std::vector<std::unique_ptr<AnimFrame>> frames;
    for (int step = 1; step <= Count(); ++step) {
        PackedDib picture;
        if (!MakeTransitionPicture(first.Image(), second.Image(), kind_, step, Count(), picture)) return {};
        auto frame = std::make_unique<AnimFrame>(canvas);
        frame->duration = duration_;
        frame->backgroundColor = first.backgroundColor;
        std::unique_ptr<BitmapItem> item = BitmapItem::FromImage(std::move(picture));
        item->MoveTo(canvas.left, canvas.top);
        frame->AppendItemUncomposed(std::move(item));
        frames.push_back(std::move(frame));
    }
    return frames;
}

// ---- tweens ----

namespace {

struct EasingNames {
    Easing easing;
    std::string_view keyword;
};

constexpr EasingNames kEasings[] = {
    {Easing::Linear, "linear"}, {Easing::In, "in"}, {Easing::Out, "out"}, {Easing::InOut, "in-out"}};

int MixInt(int a, int b, double t) { return int(std::lround(a + (b - a) * t)); }

}  // namespace

std::string_view EasingKeyword(Easing easing) {
    for (const EasingNames& names : kEasings)
        if (names.easing == easing) return names.keyword;
    return kEasings[0].keyword;
}

std::optional<Easing> EasingFromKeyword(std::string_view keyword) {
    for (const EasingNames& names : kEasings)
        if (names.keyword == keyword) return names.easing;
    return std::nullopt;
}

double Ease(Easing easing, double t) {
    t = std::clamp(t, 0.0, 1.0);
    switch (easing) {
    case Easing::In: return t * t;
    case Easing::Out: return t * (2 - t);
    case Easing::InOut: return t < 0.5 ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t);
    case Easing::Linear: break;
    }
    return t;
}

PixelValue MixColor(PixelValue a, PixelValue b, double t) {
    PixelValue mixed = 0;
    for (int shift = 0; shift < 32; shift += 8)
        mixed |= PixelValue(MixInt(int((a >> shift) & 0xFF), int((b >> shift) & 0xFF), t)) << shift;
    return mixed;
}

Rect MixRect(const Rect& a, const Rect& b, double t) {
    return {MixInt(a.left, b.left, t), MixInt(a.top, b.top, t), MixInt(a.right, b.right, t),
            MixInt(a.bottom, b.bottom, t)};
}

namespace {

// What a tween changes of an item: place, size, colours and transparency.
struct ItemLook {
    Rect bounds;
    Point anchor;                     // a label's anchor
    std::vector<PixelValue> colors;   // box line and fill, ellipse colour, label colour
    double veil = 0;                  // a bitmap's fade toward full transparency, 0..1
};

ItemLook LookOf(const CanvasItem& item) {
    ItemLook look{item.Bounds(), item.Position(), {}, 0};
    switch (item.Kind()) {
    case ItemKind::Box: {
        const BoxStyle& style = static_cast<const BoxItem&>(item).Style();
        look.colors = {style.lineColor, style.fillColor};
        break;
    }
    case ItemKind::Ellipse: look.colors = {static_cast<const EllipseItem&>(item).Color()}; break;
    case ItemKind::Label: look.colors = {static_cast<const LabelItem&>(item).TextColor()}; break;
    default: break;
    }
    return look;
}

// The look t of the way from a to b (which describe items of one kind).
ItemLook Between(const ItemLook& a, const ItemLook& b, double t) {
    ItemLook look{MixRect(a.bounds, b.bounds, t), {}, a.colors, 0};
    const Rect anchor = MixRect({a.anchor.x, a.anchor.y, 0, 0}, {b.anchor.x, b.anchor.y, 0, 0}, t);
    look.anchor = {anchor.left, anchor.top};
    for (std::size_t i = 0; i < look.colors.size() && i < b.colors.size(); ++i)
        look.colors[i] = MixColor(a.colors[i], b.colors[i], t);
    return look;
}

// The look with its transparency gone amount of the way to full.
ItemLook Veiled(ItemLook look, double amount) {
    for (PixelValue& color : look.colors) color = MixColor(color, color | 0xFF000000, amount);
    look.veil = amount;
    return look;
}

void ApplyLook(CanvasItem& item, const ItemLook& look) {
    switch (item.Kind()) {
    case ItemKind::Box: {
        auto& box = static_cast<BoxItem&>(item);
        box.SetLineColor(look.colors[0]);
        box.SetFillColor(look.colors[1]);
        box.SetBounds(look.bounds);
        break;
    }
    case ItemKind::Ellipse: {
        auto& ellipse = static_cast<EllipseItem&>(item);
        ellipse.SetColor(look.colors[0]);
        ellipse.SetBounds(look.bounds);
        break;
    }
    case ItemKind::Label: {
        auto& label = static_cast<LabelItem&>(item);
        label.SetTextColor(look.colors[0]);
        label.MoveTo(look.anchor.x, look.anchor.y);
        break;
    }
    case ItemKind::Bitmap: {
        auto& bitmap = static_cast<BitmapItem&>(item);
        if (look.bounds.Width() == item.Bounds().Width() && look.bounds.Height() == item.Bounds().Height())
            bitmap.MoveTo(look.bounds.left, look.bounds.top);
        else
            bitmap.SetBounds(look.bounds);
        if (look.veil > 0) {
            PackedDib& image = bitmap.EditImage();
            for (int y = 0; y < image.Height(); ++y) {
                PixelValue* row = image.Row(y);
                for (int x = 0; x < image.Width(); ++x) row[x] = MixColor(row[x], row[x] | 0xFF000000, look.veil);
            }
            bitmap.SetBlendWithBeneath(true);
        }
        break;
    }
    default: item.MoveTo(look.bounds.left, look.bounds.top); break;
    }
}

// A copy of item, as a new item on top of frame (its composite left for later).
CanvasItem* CopyOnto(AnimFrame& frame, const CanvasItem& item) {
    const std::optional<ItemRecord> record = item.SaveRecord();
    return record ? CreateItemFromRecord(frame, *record, nullptr, false) : nullptr;
}

bool Matched(const CanvasItem* a, const CanvasItem* b) {
    return a != nullptr && b != nullptr && a->Kind() == b->Kind();
}

std::uint64_t LargerItemBytes(const CanvasItem* a, const CanvasItem* b) {
    int width = 0;
    int height = 0;
    for (const CanvasItem* item : {a, b}) {
        if (item == nullptr) continue;
        width = std::max({width, item->Bounds().Width(), item->HeldImage().Width()});
        height = std::max({height, item->Bounds().Height(), item->HeldImage().Height()});
    }
    return ItemMemoryBytes(std::uint64_t(width), std::uint64_t(height));
}

}  // namespace

TweenCommand::TweenCommand(ObjectUid after, int count, Easing easing)
    : InsertFramesCommand("Tween", after, std::clamp(count, 1, kMaxTweenFrames)), easing_(easing) {}

FramesGrowth TweenCommand::Growth(const CQVDoc&, const AnimFrame& first, const AnimFrame& second) const {
    const std::vector<CanvasItem*> from = first.Items();
    const std::vector<CanvasItem*> to = second.Items();
    std::uint64_t perFrame = 0;
    for (std::size_t i = 0; i < std::max(from.size(), to.size()); ++i) {
        const CanvasItem* a = i < from.size() ? from[i] : nullptr;
        const CanvasItem* b = i < to.size() ? to[i] : nullptr;
        perFrame += Matched(a, b) ? LargerItemBytes(a, b) : LargerItemBytes(a, nullptr) + LargerItemBytes(nullptr, b);
    }
    const auto count = std::uint64_t(Count());
    return {count, count * perFrame};
}

std::vector<std::unique_ptr<AnimFrame>> TweenCommand::Build(const CQVDoc& doc, const AnimFrame& first,
                                                            const AnimFrame& second) const {
    const std::vector<CanvasItem*> from = first.Items();
    const std::vector<CanvasItem*> to = second.Items();
    std::vector<std::unique_ptr<AnimFrame>> frames;
    for (int step = 1; step <= Count(); ++step) {
        const double t = Ease(easing_, double(step) / double(Count() + 1));
        auto frame = std::make_unique<AnimFrame>(doc.GetAnimation().Canvas());
        frame->duration = first.duration;
        frame->backgroundColor = first.backgroundColor;
        frame->LinkBackgroundFrame(first.BackgroundFrame());
        for (std::size_t i = 0; i < std::max(from.size(), to.size()); ++i) {
            const CanvasItem* a = i < from.size() ? from[i] : nullptr;
            const CanvasItem* b = i < to.size() ? to[i] : nullptr;
            if (Matched(a, b)) {
                if (CanvasItem* copy = CopyOnto(*frame, *a)) ApplyLook(*copy, Between(LookOf(*a), LookOf(*b), t));
                continue;
            }
            if (a != nullptr)
                if (CanvasItem* copy = CopyOnto(*frame, *a)) ApplyLook(*copy, Veiled(LookOf(*a), t));
            if (b != nullptr)
                if (CanvasItem* copy = CopyOnto(*frame, *b)) ApplyLook(*copy, Veiled(LookOf(*b), 1 - t));
        }
        frames.push_back(std::move(frame));
    }
    return frames;
}

}  // namespace vantrel
