#pragma once
// The dialogs the editor view opens, shown over its window.

#include "view/ViewDialogs.h"

class QWidget;

namespace vantrel {

class AppDialogs final : public ViewDialogs {
public:
    explicit AppDialogs(QWidget* parent) : parent_(parent) {}
    TextEditAnswer EditText(const TextEditValues& values) override;
    std::optional<LogFont> SelectFont(const LogFont& font) override;
    std::optional<ImageSizeValues> ImageSize(const ImageSizeValues& values) override;
    std::optional<CanvasSizeValues> CanvasSize(const CanvasSizeValues& values) override;
    std::optional<MoveByValues> MoveBy(const MoveByValues& values) override;
    std::optional<RectStyleValues> RectangleStyle(const RectStyleValues& values) override;
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
