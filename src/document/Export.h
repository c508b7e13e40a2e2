#pragma once
// Writing what the document shows: the whole animation as one GIF, or a
// single frame as GIF or JPEG. A GIF export is a GifExportJob: it renders
// what it writes, builds one palette for all images (or one per image where
// that pays), optionally shrinks the animation, and gives back the bytes, a
// report and a preview; saving writes the file through a temporary file
// renamed over the target.
//
// The choices the user makes in the options dialog arrive through a callback
// that sees the distinct colour count first; the editor shows its dialog
// there, the command-line tool answers from its arguments.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

#include "codec/ColorQuantizer.h"
#include "codec/FrameChanges.h"
#include "core/FileIO.h"
#include "core/PackedDib.h"
#include "core/Progress.h"
#include "core/Status.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"

namespace vantrel {

class GifFile;

struct GifExportImages;

// What the options dialog is shown with.
struct GifExportRequest {
    int distinctColors = 0;  // 257 stands for "more than 256"
    bool animated = false;
    // The images about to be written, before any option is applied; valid
    // only during the call, for a chooser that estimates the result
    // (CopyGifExportImages). Null when the caller gives none.
    const GifExportImages* images = nullptr;
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
    // "One palette for all frames": every image through the global palette.
    // Off, an animation's images may each get a palette of their own (see
    // GifExportJob) where that shows them truer or makes the file smaller.
    bool onePalette = false;
};

// The colour counts the "Reduce to:" list offers for this many distinct
// colours, largest first: 256 when above 256, then 128 when above 128, and so
// on down to 4 when above 4.
std::vector<int> ReduceToChoices(int distinctColors);

// The dialog's defaults: exact palette up to 256 colours; above 256
// "Reduce to:" with the first entry of its list; size reduction on. (With
// all 256 entries in use, size reduction gives up transparency in the
// images that use every entry, which costs far fewer bytes than halving
// the palette costs colour.)
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
    int lossy = 0;            // the lossy level the file was encoded at
    int trials = 0;           // runs made to fit a size budget (GifExportJob::Fit)
    int ownPalettes = 0;      // images written with a colour table of their own
    // A fit met the budget only with fewer than kFewestColorsUnasked colours
    // (and fewer than were chosen): the caller asks before writing it.
    bool fewColors = false;
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

// A bound on the exports GifExportJob::Fit makes. It makes at most six:
// the options as chosen, then a bisection over the rungs of BudgetLadder
// (at most ten, so at most four more), and, when none fits and images may
// have palettes of their own, the last rung with one palette.
inline constexpr int kMaxBudgetTrials = 8;
// A budget met only below this many colours is not written unasked: so few
// colours change most pictures beyond what the user chose.
inline constexpr int kFewestColorsUnasked = 16;

// One setting a budget search tries: a colour count and a lossy level.
struct BudgetRung {
    int colors = 0;
    int lossy = 0;
    friend bool operator==(const BudgetRung&, const BudgetRung&) = default;
};
// The settings a budget search climbs from colors and lossy as chosen, the
// smallest visible change first: the chosen ones, then lossy 40 and 80 at
// the chosen colours (the levels above the chosen one), then each smaller
// count of 256, 128, ... 2 with 40 more lossy than the rung before (at most
// kMaxLossy). No rung has more colours or less lossy than the one before.
std::vector<BudgetRung> BudgetLadder(int colors, int lossy);

// What an export writes, before any option is applied: the rendered images
// with their delays and the file's loop. Its buffers share the frames'
// pixel blocks, so the document may change meanwhile without touching it
// (a frame written while it lives gets a block of its own first).
struct GifExportImages {
    int width = 0;
    int height = 0;
    std::int32_t loopCount = 0;
    bool hasLoopExtension = false;
    bool sizeReductionApplies = true;
    std::vector<PackedDib> pixels;
    std::vector<std::uint16_t> delays;  // one per image, 1/100 s
};
// A copy of request.images (sharing their blocks), so that another thread
// can encode it with trial options while the options dialog stays open;
// empty (no pixels, size reduction as the request says) when the request
// carries none.
GifExportImages CopyGifExportImages(const GifExportRequest& request);

// What steers a job besides the user's choices. Once stop is requested a
// run ends at its next image, pass or trial: the report says cancelled and
// nothing is made. checkpoint, when set, is called with the stop token at
// every place a run looks at it (before each image of each pass and before
// each trial), for tests that stop a run at a known place.
struct GifExportRun {
    std::stop_token stop;
    // The image (index into the job's images) each result shows as its file
    // shows it; none makes no preview.
    std::optional<std::size_t> previewImage;
    std::function<void(const std::stop_token&)> checkpoint;
    // Counts a step for each frame rendered and at every place a run looks
    // whether to stop; its stop ends the run the same way.
    ProgressSteps* progress = nullptr;
};
// A run that only counts its steps in steps.
inline GifExportRun CountingIn(ProgressSteps& steps) {
    GifExportRun run;
    run.progress = &steps;
    return run;
}

// What one run of a job made.
struct GifExportResult {
    Status status;  // a failure says why; a cancelled run is not a failure
    GifExportReport report;
    GifExportOptions options;          // the options of the bytes (for a fit, the ones found)
    std::vector<std::uint8_t> bytes;   // the file; empty when cancelled, failed or only previewed
    // The previewed image (GifExportRun::previewImage) as the file shows it:
    // its own colour indices through its palette (after dithering), taken
    // from the very run that made the bytes. Every pixel is opaque (size
    // reduction leaves out only pixels a viewer keeps from the image
    // before). No block when not made.
    PackedDib preview;
};

// An export of images to one GIF: counts their colours, asks for the options
// (or takes them), builds one palette, maps every image (dithered on
// request), shrinks the animation when asked and encodes it.
//
// Unless the options ask for one palette, an animation's images may get
// colour tables of their own. Where the global palette loses colour (and
// nothing is dithered), each image is also mapped onto a palette made the
// same way from its own colours, and keeps it when that shows the image
// truer (less squared error against its pixels). After size reduction, an
// image that uses so few entries of the global palette that they need fewer
// bits per pixel is also encoded with just those as its own table, and
// written so when that takes fewer bytes with the table; its colours stay
// the same. When every image has its own table the file has no global one.
class GifExportJob {
public:
    explicit GifExportJob(GifExportImages images, GifExportRun run = {});
    // Images shared with other jobs (on other threads: they are only read).
    explicit GifExportJob(std::shared_ptr<const GifExportImages> images, GifExportRun run = {});
    // Every frame of the animation that is not a master frame, rendered
    // first (one progress step each); a stop while rendering makes every
    // run of the job report cancelled.
    static GifExportJob OfAnimation(Animation& animation, GifExportRun run = {});
    // The same for an animation whose frames are all rendered already (one
    // just opened or just rendered as a whole).
    static GifExportJob OfRenderedAnimation(const Animation& animation, GifExportRun run = {});
    // One frame, rendered first, as a single image without size reduction.
    static GifExportJob OfFrame(AnimFrame& frame, GifExportRun run = {});

    const GifExportImages& Images() const { return *images_; }

    // The file with the options choose returns; cancelled, with nothing
    // made, when it returns none.
    GifExportResult Encode(const GifOptionsChooser& choose);
    GifExportResult Encode(const GifExportOptions& options);
    // Encode, then the bytes written to path through a temporary file
    // renamed over it, flushed to the disk as sync says; nothing is written
    // when the run is cancelled or fails.
    GifExportResult Save(const std::filesystem::path& path, const GifOptionsChooser& choose,
                         FileSync sync = FileSync::Each);
    // Only the preview, no bytes: the same palette building, mapping and
    // dithering, without size reduction or encoding, unless the picture
    // depends on them (lossy LZW, or images shown through palettes of their
    // own over pixels kept from the image before): then the file is made
    // and only its bytes dropped.
    GifExportResult Preview(const GifExportOptions& options);
    // The file fitted under maxBytes: first with the options chosen (asked
    // once, size reduction turned on), then, while the file is too large,
    // up BudgetLadder (searched by bisection, each a full run; at most
    // kMaxBudgetTrials). When no rung fits and the options let images have
    // palettes of their own, the last rung is tried with one palette. The
    // result holds the bytes of the first rung found to fit, their options
    // and report (trials counts the runs; fewColors when that rung has fewer
    // than kFewestColorsUnasked colours), and a preview of those bytes (of
    // the options chosen when nothing fits). When nothing fits, there are no
    // bytes and the status says so, with the smallest size at the last rung.
    GifExportResult Fit(std::uint64_t maxBytes, const GifOptionsChooser& choose);
    GifExportResult Fit(std::uint64_t maxBytes, const GifExportOptions& options);

private:
    enum class Stage { Map, Encode };
    // One run: everything up to stage, with the options choose returns.
    GifExportResult Run(const GifOptionsChooser& choose, Stage stage);
    // Whether the run is to stop now; the checkpoint and the progress hear
    // of every look first.
    bool Stopped() const;
    // Whether the run was told to stop, without looking again.
    bool StopSeen() const;

    // Maps every image of gif again, onto a palette of its own made from its
    // colours as the options ask, and gives each its own where that shows it
    // truer (an image without pixels of its size keeps the global one);
    // returns how many took one. A stop ends it early.
    int TakeTruerOwnPalettes(GifFile& gif, const GifExportOptions& options) const;
    // Encodes the images of gif; then those that use few entries of the
    // global palette and whose narrower codes could save more than a table
    // of their own costs are encoded again with just those entries as their
    // table, and keep whichever takes fewer bytes. Their colours never
    // change. Returns how many took their own table.
    int EncodeNarrowingTables(GifFile& gif, const GifExportOptions& options, bool narrowing);

    std::shared_ptr<const GifExportImages> images_;
    GifExportRun run_;
    FrameChanges changes_;  // of the run under way, one entry per image
    bool renderStopped_ = false;
};

// Writes one frame as a baseline JPEG at quality 0 to 10.
Status ExportFrameAsJpeg(AnimFrame& frame, const std::filesystem::path& path, int quality);

// Which exporter a path's extension selects (case-insensitive, the formats
// of FileFormats.h that take an exported frame): ".gif", or ".jpg", ".jpe"
// and ".jpeg"; anything else selects none.
enum class FrameExportFormat { None, Gif, Jpeg };
FrameExportFormat FrameExportFormatFor(const std::filesystem::path& path);

// Returns the JPEG quality 0 to 10, or nothing when the user cancels.
using JpegQualityChooser = std::function<std::optional<int>()>;

// Exports one frame by the extension of path (a GIF through
// GifExportJob::OfFrame); with an extension of neither kind nothing is
// written and the status says so. A JPEG's result holds only its status and
// whether the user cancelled.
GifExportResult ExportFrame(AnimFrame& frame, const std::filesystem::path& path, const GifOptionsChooser& chooseGif,
                            const JpegQualityChooser& chooseQuality);

}  // namespace vantrel
