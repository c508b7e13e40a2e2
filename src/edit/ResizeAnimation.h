#pragma once
// "Resize Animation": the canvas and every item of every frame scaled by one
// factor, as one step. Bitmaps are resampled (sharp or smooth), boxes and
// ellipses take their scaled bounds (boxes their scaled line widths too),
// labels stay labels with their font height and character spacing scaled.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "core/Status.h"
#include "document/CanvasItem.h"
#include "document/Command.h"
#include "imaging/Resample.h"

namespace vantrel {

class Animation;
class CQVDoc;

// Largest percentage offered by Resize Animation.
inline constexpr int kMaxResizePercent = 1000;

// A canvas width and height.
struct AnimationSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const AnimationSize&, const AnimationSize&) = default;
};

// The canvas scaled by percent, each side rounded to nearest and at least 1.
AnimationSize ScaledCanvas(AnimationSize canvas, int percent);
// The canvas at width, the height following in proportion (rounded, at least 1).
AnimationSize CanvasAtWidth(AnimationSize canvas, int width);

// Where a rectangle of the old canvas goes on the new one: both canvases
// lie where the animation puts them, edges scaled from the canvas's top-left
// corner and rounded; every rectangle keeps at least one pixel each way.
struct CanvasScaling {
    Rect from;
    Rect to;
    Rect Map(const Rect& r) const;
    // The vertical factor, which sizes fonts and line widths.
    double Vertical() const { return double(to.Height()) / from.Height(); }
};

class ResizeAnimationCommand final : public Command {
public:
    ResizeAnimationCommand(std::string label, AnimationSize size, ResampleMode resampling);

    // Ok when the document can take the result: the canvas within the
    // document's largest canvas, every item within the work area, and the
    // memory within the budget; else the refusal to show.
    Status Fits(const CQVDoc& doc) const;
    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;
    std::size_t MemoryBytes() const override;

private:
    // Puts the held items in place of the live ones (and back) and exchanges
    // the canvas sizes.
    void Swap(CQVDoc& doc);

    struct Held {
        ObjectUid frame;
        std::unique_ptr<CanvasItem> item;  // the same identity as the live one
    };
    AnimationSize size_;
    AnimationSize other_;  // the size to go to at the next swap
    ResampleMode resampling_;
    std::vector<Held> held_;
    bool ran_ = false;
};

}  // namespace vantrel
