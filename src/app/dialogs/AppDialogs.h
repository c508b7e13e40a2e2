#pragma once
// The dialogs the editor view opens, shown over its window.

#include "view/ViewDialogs.h"

class QWidget;

namespace vantrel {

class AppDialogs final : public ViewDialogs {
public:
    explicit AppDialogs(QWidget* parent) : parent_(parent) {}
    bool EditText(TextEditValues& values) override;
    bool SelectFont(LogFont& font) override;
    bool ImageSize(ImageSizeValues& values) override;
    bool CanvasSize(CanvasSizeValues& values) override;
    bool MoveBy(MoveByValues& values) override;
    bool RectangleStyle(RectStyleValues& values) override;
    std::optional<std::string> ImportImagePath() override;
    std::optional<PixelValue> PickColor(const ColorPickRequest& request) override;
    std::optional<Size> FrameSetup(Size canvas) override;
    std::optional<std::uint32_t> LoopCount(std::uint32_t loopCount) override;
    std::optional<std::uint32_t> FrameDuration(std::uint32_t hundredths) override;
    std::optional<int> SpeedPercent() override;
    std::optional<ObjectUid> GoToFrame(const Animation& animation, ObjectUid current) override;
    void PreviewAnimation(Animation& animation) override;
    std::optional<TransitionValues> Transition(const TransitionRequest& request) override;
    std::optional<TweenValues> Tween(const TweenValues& values) override;
    std::optional<ResizeAnimationValues> ResizeAnimation(const ResizeAnimationValues& values) override;
    std::optional<EffectSettings> Effect(const EffectRequest& request) override;
    std::optional<std::filesystem::path> AnimationPath(const std::string& title,
                                                       const std::filesystem::path& suggested) override;
    std::optional<FrameExportChoice> FrameExportPath(const std::filesystem::path& suggested) override;
    // After OK the wait cursor shows until the export returns to the event loop.
    std::optional<GifExportOptions> GifSaveOptions(const GifExportRequest& request) override;
    std::optional<int> JpegQuality() override;

private:
    QWidget* parent_;
};

}  // namespace vantrel
