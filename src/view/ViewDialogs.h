#pragma once
// The dialogs the editor view opens, as the view sees them: values in,
// values out. The windowing layer implements them; tests answer them.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/Pixel.h"
#include "document/CanvasItem.h"
#include "document/Export.h"
#include "edit/InBetweenCommands.h"
#include "edit/ResizeAnimation.h"
#include "imaging/Effects.h"
#include "imaging/Resample.h"
#include "text/LogFont.h"
#include "view/SaveAnimation.h"
#include "view/ViewHost.h"

namespace vantrel {

class Animation;

// "Text Edit": the text of a label (at most kTextEditMaxLength characters,
// never empty), its anti-aliasing and its font. "Font..." edits the font at
// once; a font chosen there is kept even when the dialog is cancelled.
inline constexpr int kTextEditMaxLength = 64;
struct TextEditValues {
    std::string text;
    bool antiAliased = true;
    LogFont font;
};

// "Image Size": the new width and height of an item, each 1 to kMaxItemSide.
inline constexpr int kMaxItemSide = 1200;
struct ImageSizeValues {
    int width = 1;
    int height = 1;
    // How bitmaps are resized; the resize handles use the last choice too.
    ResampleMode resampling = ResampleMode::Sharp;
};

// "Canvas Size": the bitmap's size (shown, not edited) and the pixels to
// add (positive) or remove (negative) on each side.
struct CanvasSizeValues {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// "Move By": a direction (0 Up, 1 Right, 2 Down, 3 Left, -1 none) and a
// distance of 0 to kMaxMoveDistance pixels.
inline constexpr int kMaxMoveDistance = 1200;
enum class MoveDirection { None = -1, Up = 0, Right = 1, Down = 2, Left = 3 };
struct MoveByValues {
    MoveDirection direction = MoveDirection::Up;
    int distance = 0;
};

// "Rectangle Style": fill style (0 Solid, 1 Outline, 2 Horizontal,
// 3 Vertical), line width (0 none, else 1 to 32) and space width (1 to 32).
struct RectStyleValues {
    int fillStyle = 1;
    int lineWidth = 1;
    int spaceWidth = 1;
};

// The colour picker: the window title, the colour it starts on, whether the
// opacity may change, and the document's recent colours (most recent first)
// offered beside the predefined ones.
struct ColorPickRequest {
    std::string title;
    PixelValue initial = kOpaqueBlack;
    bool noOpacity = false;
    std::vector<PixelValue> recent;
};

// The transition dialog: the number of new frames (1 to kMaxTransitionFrames)
// and each one's duration in hundredths.
struct TransitionValues {
    int frames = 5;
    std::uint32_t duration = 0;
};
// What it starts from: the kind and the two rendered frames it goes between
// (for its preview), and the values shown first.
struct TransitionRequest {
    TransitionKind kind = TransitionKind::Fade;
    const PackedDib* first = nullptr;
    const PackedDib* second = nullptr;
    TransitionValues values;
};

// "Tween to Next Frame": the number of new frames (1 to kMaxTweenFrames) and the easing.
struct TweenValues {
    int frames = 5;
    Easing easing = Easing::Linear;
};

// "Resize Animation": the new canvas size (the dialog keeps the proportions)
// and how bitmaps are resampled. It opens on the current canvas.
struct ResizeAnimationValues {
    AnimationSize size;
    ResampleMode resampling = ResampleMode::Sharp;
};

// An effect's dialog: the settings it starts from and a picture to show
// them on while they change.
struct EffectRequest {
    EffectSettings settings;
    const PackedDib* sample = nullptr;
};

// What "Text Edit" answers: the values chosen, or nothing when cancelled,
// and the font last chosen with "Font..." (the font it opened with when
// "Font..." was not used), which stands even when the dialog is cancelled.
struct TextEditAnswer {
    std::optional<TextEditValues> chosen;
    LogFont font;
};

// Every dialog takes the values it starts from and answers the values
// chosen, or nothing when cancelled; the view turns the answer into a
// command. Each one is answered by whoever implements this: the windowing
// layer, or a test's script.
class ViewDialogs {
public:
    virtual ~ViewDialogs() = default;
    // "Text Edit" on values.
    virtual TextEditAnswer EditText(const TextEditValues& values) = 0;
    // "Select Font" on font.
    virtual std::optional<LogFont> SelectFont(const LogFont& font) = 0;
    // The dialogs of the item commands.
    virtual std::optional<ImageSizeValues> ImageSize(const ImageSizeValues& values) = 0;
    virtual std::optional<CanvasSizeValues> CanvasSize(const CanvasSizeValues& values) = 0;
    virtual std::optional<MoveByValues> MoveBy(const MoveByValues& values) = 0;
    virtual std::optional<RectStyleValues> RectangleStyle(const RectStyleValues& values) = 0;
    // "Import Image": an existing file of a format that imports into a
    // frame, chosen by the user.
    virtual std::optional<std::string> ImportImagePath() = 0;
    // The colour picker: the chosen colour.
    virtual std::optional<PixelValue> PickColor(const ColorPickRequest& request) = 0;

    // ---- frames and the animation ----
    // "Frame Setup": the canvas size, each side 1 to 1200.
    virtual std::optional<Size> FrameSetup(Size canvas) = 0;
    // "Animation Loop Count": the number of plays, 0 without end.
    virtual std::optional<std::uint32_t> LoopCount(std::uint32_t loopCount) = 0;
    // "Frame Duration": hundredths of a second in and out.
    virtual std::optional<std::uint32_t> FrameDuration(std::uint32_t hundredths) = 0;
    // "Change Speed": the speed in percent (200 plays twice as fast).
    virtual std::optional<int> SpeedPercent() = 0;
    // "GoTo Frame": the frame chosen.
    virtual std::optional<ObjectUid> GoToFrame(const Animation& animation, ObjectUid current) = 0;
    // The transition dialog, with a preview of the middle frame.
    virtual std::optional<TransitionValues> Transition(const TransitionRequest& request) = 0;
    // "Tween to Next Frame".
    virtual std::optional<TweenValues> Tween(const TweenValues& values) = 0;
    // "Resize Animation".
    virtual std::optional<ResizeAnimationValues> ResizeAnimation(const ResizeAnimationValues& values) = 0;
    // The dialog of an effect, previewing it on the sample.
    virtual std::optional<EffectSettings> Effect(const EffectRequest& request) = 0;
    // "Preview Browser": plays the animation until closed.
    virtual void PreviewAnimation(Animation& animation) = 0;

    // ---- saving ----
    // The save dialog of "Save Animation As" (or "Save Image As", the title).
    virtual std::optional<std::filesystem::path> AnimationPath(const std::string& title,
                                                               const std::filesystem::path& suggested) = 0;
    // The save dialog of "Export Frame As": a name and the chosen file type.
    virtual std::optional<FrameExportChoice> FrameExportPath(const std::filesystem::path& suggested) = 0;
    // "GIF Save Options" and "JPEG Save Options".
    virtual std::optional<GifExportOptions> GifSaveOptions(const GifExportRequest& request) = 0;
    virtual std::optional<int> JpegQuality() = 0;
};

}  // namespace vantrel
