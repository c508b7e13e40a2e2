#pragma once
// The one dialog host of the editor view tests: every dialog the view may
// open answers as the test scripts it (a value, or cancelled when nothing
// is scripted) and records what it was opened with.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "view/ViewDialogs.h"

namespace vantrel::test {

// An item dialog's script: its answer, and the values it was last opened with.
template <typename Values>
struct DialogScript {
    std::optional<Values> answer;
    std::optional<Values> shown;
    std::optional<Values> Ask(const Values& values) {
        shown = values;
        return answer;
    }
};

class ScriptedDialogs final : public ViewDialogs {
public:
    // ---- text ----
    TextEditAnswer EditText(const TextEditValues& values) override {
        ++textEdits;
        if (!text) return {std::nullopt, values.font};
        TextEditValues chosen = values;
        chosen.text = *text;
        return {chosen, values.font};
    }
    std::optional<LogFont> SelectFont(const LogFont&) override { return font; }

    // ---- the item dialogs: each records what it was opened with ----
    std::optional<ImageSizeValues> ImageSize(const ImageSizeValues& values) override { return imageSize.Ask(values); }
    std::optional<CanvasSizeValues> CanvasSize(const CanvasSizeValues& values) override {
        return canvasSize.Ask(values);
    }
    std::optional<MoveByValues> MoveBy(const MoveByValues& values) override { return moveBy.Ask(values); }
    std::optional<RectStyleValues> RectangleStyle(const RectStyleValues& values) override {
        return rectStyle.Ask(values);
    }
    std::optional<std::string> ImportImagePath() override { return importPath; }
    std::optional<PixelValue> PickColor(const ColorPickRequest& request) override {
        colorRequests.push_back(request);
        return color;
    }

    // ---- frames and the animation ----
    std::optional<Size> FrameSetup(Size) override { return setup; }
    std::optional<std::uint32_t> LoopCount(std::uint32_t) override { return loopCount; }
    std::optional<std::uint32_t> FrameDuration(std::uint32_t) override { return duration; }
    std::optional<int> SpeedPercent() override { return speed; }
    std::optional<ObjectUid> GoToFrame(const Animation&, ObjectUid) override { return goTo; }
    std::optional<TransitionValues> Transition(const TransitionRequest& request) override {
        transitionsAsked.push_back(request);
        return transition;
    }
    std::optional<TweenValues> Tween(const TweenValues&) override { return tween; }
    std::optional<ResizeAnimationValues> ResizeAnimation(const ResizeAnimationValues& values) override {
        resizesAsked.push_back(values);
        return resizeAnimation;
    }
    // Answers the settings it was opened with, radius 2, unless effectCancelled.
    std::optional<EffectSettings> Effect(const EffectRequest& request) override {
        effectsAsked.push_back(request.settings.kind);
        effectSampleWidth = request.sample != nullptr ? request.sample->Width() : 0;
        if (effectCancelled) return std::nullopt;
        EffectSettings chosen = request.settings;
        chosen.radius = 2;
        return chosen;
    }
    void PreviewAnimation(Animation&) override { ++previews; }

    // ---- saving ----
    std::optional<std::filesystem::path> AnimationPath(const std::string& title, const std::filesystem::path&) override {
        pathTitles.push_back(title);
        return savePath;
    }
    std::optional<FrameExportChoice> FrameExportPath(const std::filesystem::path&) override { return frameExport; }
    // The usual options for the animation's colours, unless gifOptionsCancelled.
    std::optional<GifExportOptions> GifSaveOptions(const GifExportRequest& request) override {
        optionsCurrentImages.push_back(request.currentImage);
        if (gifOptionsCancelled) return std::nullopt;
        return DefaultGifExportOptions(request.distinctColors);
    }
    std::optional<int> JpegQuality() override { return jpegQuality; }

    DialogScript<ImageSizeValues> imageSize;
    DialogScript<CanvasSizeValues> canvasSize;
    DialogScript<MoveByValues> moveBy;
    DialogScript<RectStyleValues> rectStyle;

    // The answers of the others; nothing means cancelled.
    std::optional<std::string> text;
    std::optional<LogFont> font;
    std::optional<std::string> importPath;
    std::optional<PixelValue> color;
    std::optional<Size> setup;
    std::optional<std::uint32_t> loopCount, duration;
    std::optional<int> speed;
    std::optional<ObjectUid> goTo;
    std::optional<TransitionValues> transition;
    std::optional<TweenValues> tween;
    std::optional<ResizeAnimationValues> resizeAnimation;
    bool effectCancelled = false;
    std::optional<std::filesystem::path> savePath;
    std::optional<FrameExportChoice> frameExport;
    bool gifOptionsCancelled = false;
    std::optional<int> jpegQuality;

    // What the dialogs were opened with.
    int textEdits = 0;
    std::vector<ColorPickRequest> colorRequests;
    std::vector<TransitionRequest> transitionsAsked;
    std::vector<ResizeAnimationValues> resizesAsked;
    std::vector<EffectKind> effectsAsked;
    int effectSampleWidth = 0;
    int previews = 0;
    std::vector<std::string> pathTitles;
    std::vector<std::size_t> optionsCurrentImages;  // of each GIF options dialog shown
};

}  // namespace vantrel::test
