#pragma once
// Writing what the document shows: the whole animation as one GIF, or a
// single frame as GIF or JPEG. Each export renders what it writes, builds one
// palette for all images, optionally shrinks the animation, and writes the
// file through a temporary file renamed over the target.
//
// The choices the user makes in the options dialog arrive through a callback
// that sees the distinct colour count first; the editor shows its dialog
// there, the command-line tool answers from its arguments.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

#include "codec/ColorQuantizer.h"
#include "core/FileIO.h"
#include "core/PackedDib.h"
#include "core/Progress.h"
#include "core/Status.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"

namespace vantrel {

class GifFile;

// What the options dialog is shown with.
struct GifExportRequest {
    int distinctColors = 0;  // 257 stands for "more than 256"
    bool animated = false;
    // The rendered images about to be written, before any option is applied;
    // valid only during the call, for a chooser that estimates the result
    // (CopyGifExportImages). Null when the caller gives none.
    const GifFile* images = nullptr;
    bool sizeReductionApplies = true;  // false for a single exported frame
    // The image (index into the images) that stands for the frame the user
    // had in front of them, for a chooser that shows it.
    std::size_t currentImage = 0;
};

// What the user chose.
struct GifExportOptions {
    bool reduce = false;        // "Reduce to:" rather than the exact palette
    int colorCount = 256;       // the number chosen in the "Reduce to:" list
    bool sizeReduction = true;  // "Animation Size Reduction"
    bool dither = false;        // error diffusion onto a reduced palette (codec/Dither.h)
    // How a reduced palette is made; "Classic" in the dialog is the median cut.
    PaletteMethod quantizer = PaletteMethod::Refined;
    // Lossy LZW, 0 (lossless) to kMaxLossy: larger is smaller and rougher.
    int lossy = 0;
};

// The colour counts the "Reduce to:" list offers for this many distinct
// colours, largest first: 256 when above 256, then 128 when above 128, and so
// on down to 4 when above 4.
std::vector<int> ReduceToChoices(int distinctColors);

// The dialog's defaults: exact palette up to 255 colours; from 256 on
// "Reduce to:" with the first entry of its list; size reduction on.
GifExportOptions DefaultGifExportOptions(int distinctColors);

// Returns the options, or nothing when the user cancels (nothing is written).
using GifOptionsChooser = std::function<std::optional<GifExportOptions>(const GifExportRequest&)>;

// Chooses the dialog's defaults without asking.
GifOptionsChooser DefaultGifOptionsChooser();

// What an export did, for the caller to report.
struct GifExportReport {
    bool cancelled = false;
    int distinctColors = 0;
    int paletteSize = 0;
    int images = 0;
    int requestedColors = 0;  // the colour count asked of the palette builder
    int trials = 0;           // exports made to fit a size budget (EncodeAnimationWithin)
};

// The GIF loop value for the document's loop count (number of plays): one
// play has no looping extension, 0 plays without end, n plays repeat n - 1
// times after the first.
struct GifLoop {
    bool extension = false;
    int repetitions = 0;
};
GifLoop GifLoopForPlays(std::uint32_t plays);

// The image an animation export makes of frame: its place among the frames
// that are not master frames. A master frame stands for the next frame that
// is not one (or the last such frame when none follows); 0 without images.
std::size_t ExportImageIndexOf(const Animation& animation, const AnimFrame* frame);

// Writes every frame that is not a master frame to path as one animation.
// progress hears of every frame rendered and every image of every pass;
// when it says stop, nothing is written and the report says cancelled.
Status SaveAnimationAsGif(Animation& animation, const std::filesystem::path& path,
                          const GifOptionsChooser& choose, GifExportReport* report = nullptr,
                          const ProgressReport& progress = {});
// The same without rendering first, for an animation whose frames are all
// rendered already (one just opened or just rendered as a whole); the file
// is flushed to the disk as sync says.
Status SaveRenderedAnimationAsGif(const Animation& animation, const std::filesystem::path& path,
                                  const GifOptionsChooser& choose, GifExportReport* report = nullptr,
                                  FileSync sync = FileSync::Each, const ProgressReport& progress = {});
// The same export without writing anything: out receives exactly the bytes
// SaveAnimationAsGif would write with the same choices (cleared first; empty
// when cancelled or failed), so out.size() is the size of the file.
Status EncodeAnimationAsGif(Animation& animation, std::vector<std::uint8_t>& out, const GifOptionsChooser& choose,
                            GifExportReport* report = nullptr);
// A bound on the exports EncodeAnimationWithin makes. It makes at most five:
// the options as chosen, then a bisection over the smaller of the eight
// counts 256, 128, ... 2 (at most four more).
inline constexpr int kMaxBudgetTrials = 8;

// The export into memory fitted under maxBytes: first with the options
// chosen (asked once, size reduction turned on), then, while the file is too
// large, with fewer colours (256, 128, ... 2, searched by bisection, each a
// full export). out receives the bytes of the export with the most colours
// found to fit, and report its figures (requestedColors is the count chosen).
// When even 2 colours do not fit, out is empty and the status says so.
Status EncodeAnimationWithin(Animation& animation, std::uint64_t maxBytes, std::vector<std::uint8_t>& out,
                             const GifOptionsChooser& choose, GifExportReport* report = nullptr);
// One image of an export as the written file shows it: the image's own
// colour indices through the file's palette (after dithering), taken from
// the very run that encodes the file. Every pixel is opaque: the file shows
// each pixel's colour (size reduction leaves out only pixels a viewer keeps
// from the image before, so they show the same).
struct GifImagePreview {
    std::size_t image = 0;  // which image, an index into the export's images
    PackedDib pixels;       // that image's size; no block when not made
};

// What steers a run of the export besides the user's choices. Once stop is
// requested the run ends at its next image, pass or trial export: the report
// says cancelled, nothing is written and out stays empty. When preview is
// set it receives its image from the run's own palette and indices.
// checkpoint, when set, is called with the stop token at every place the
// run looks at it (before each image of each pass and before each trial),
// for progress and for tests that stop a run at a known place.
struct GifExportRun {
    std::stop_token stop;
    GifImagePreview* preview = nullptr;
    std::function<void(const std::stop_token&)> checkpoint;
    // Counts a step at every such place; its stop ends the run the same way.
    ProgressSteps* progress = nullptr;
};

// A copy of what an export is about to write, before any option is applied,
// so that another thread can encode it with trial options while the options
// dialog stays open. Its buffers share the frames' pixel blocks; the
// document may change meanwhile without touching the copy.
struct GifExportImages {
    int width = 0;
    int height = 0;
    std::int32_t loopCount = 0;
    bool hasLoopExtension = false;
    bool sizeReductionApplies = true;
    std::vector<PackedDib> pixels;
    std::vector<std::uint16_t> delays;  // one per image, 1/100 s
};
// Copies request.images; empty (no pixels) when the request carries none.
GifExportImages CopyGifExportImages(const GifExportRequest& request);
// The bytes the export the copy was taken from writes with these options.
Status EncodeGifExportImages(const GifExportImages& images, const GifExportOptions& options,
                             std::vector<std::uint8_t>& out, GifExportReport* report = nullptr,
                             const GifExportRun& run = {});
// Only preview.image as the export with these options shows it: the same
// palette building, mapping and dithering, without size reduction or
// encoding. With no such image the preview stays empty.
Status PreviewGifExportImage(const GifExportImages& images, const GifExportOptions& options,
                             GifImagePreview& preview, std::stop_token stop = {});
// The search of EncodeAnimationWithin over the copy, starting from options;
// fitted receives the options out was made with (meaningful when it fits),
// so that exporting with them writes these very bytes. A preview of the run
// shows the image with the fitted options (with the options given when
// nothing fits).
Status EncodeGifExportImagesWithin(const GifExportImages& images, std::uint64_t maxBytes,
                                   const GifExportOptions& options, std::vector<std::uint8_t>& out,
                                   GifExportOptions& fitted, GifExportReport* report = nullptr,
                                   const GifExportRun& run = {});

// Writes one frame as a single-image GIF.
Status ExportFrameAsGif(AnimFrame& frame, const std::filesystem::path& path,
                        const GifOptionsChooser& choose, GifExportReport* report = nullptr);
// Writes one frame as a baseline JPEG at quality 0 to 10.
Status ExportFrameAsJpeg(AnimFrame& frame, const std::filesystem::path& path, int quality);

// Which exporter a path's extension selects (case-insensitive, the formats
// of FileFormats.h that take an exported frame): ".gif", or ".jpg", ".jpe"
// and ".jpeg"; anything else selects none.
enum class FrameExportFormat { None, Gif, Jpeg };
FrameExportFormat FrameExportFormatFor(const std::filesystem::path& path);

// Returns the JPEG quality 0 to 10, or nothing when the user cancels.
using JpegQualityChooser = std::function<std::optional<int>()>;

// Exports one frame by the extension of path; with an extension of neither
// kind nothing is written and the status says so.
Status ExportFrame(AnimFrame& frame, const std::filesystem::path& path, const GifOptionsChooser& chooseGif,
                   const JpegQualityChooser& chooseQuality, GifExportReport* report = nullptr);

}  // namespace vantrel
