// vantrel-cli: inspect, decode and render animations without the editor.

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "core/FileIO.h"
#include "vantrel/Version.h"

namespace {

const char kUsage[] =
    "Usage: vantrel-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  info [--json] FILE.gif          the GIF's logical screen, loop count and images\n"
    "  info [--json] --document FILE   the document: canvas, loop count, frames, items\n"
    "                                  (always for .qvd, JPEG and PNG files)\n"
    "  decode FILE.gif OUTDIR          every GIF image as OUTDIR/image-001.png, ...\n"
    "  render FILE OUTDIR              every frame rendered as OUTDIR/frame-001.png, ...\n"
    "  export FILE OUT.gif [--colors N | --exact] [--no-size-reduction] [--dither]\n"
    "                     [--max-bytes N [--allow-few-colors]] [--dry-run]\n"
    "                     [--quantizer refined|median-cut] [--lossy 0-200] [--one-palette]\n"
    "                                  the animation (all frames but master frames) as\n"
    "                                  one GIF; prints the colour counts; --max-bytes\n"
    "                                  tries more lossy, then fewer colours, until the\n"
    "                                  file fits in N bytes, and refuses a fit below 16\n"
    "                                  colours unless --allow-few-colors is given;\n"
    "                                  --dry-run prints the file's size and\n"
    "                                  writes nothing; --quantizer median-cut makes\n"
    "                                  reduced palettes the classic way; --lossy N\n"
    "                                  trades exactness for size (0 lossless);\n"
    "                                  --one-palette writes every frame through one\n"
    "                                  palette (else a frame gets a palette of its own\n"
    "                                  where that shows it truer or saves bytes)\n"
    "  export FILE OUT.(webp|apng|png) [--quality 0-100] [--dry-run]\n"
    "                                  the animation as animated WebP (lossless unless\n"
    "                                  --quality is given) or animated PNG (lossless),\n"
    "                                  every colour kept; the GIF options are refused\n"
    "  export-frame FILE N OUT.(gif|jpg|jpeg|jpe) [--colors N | --exact] [--dither]\n"
    "                     [--quality 0-10] [--quantizer refined|median-cut] [--lossy 0-200]\n"
    "                     [--one-palette]\n"
    "                                  frame N (from 1, every frame counted) as GIF or\n"
    "                                  JPEG (quality 7 unless given)\n"
    "  quick OUT.(qvd|gif) [--duration SECONDS] IMAGE...\n"
    "                                  a new animation, one frame per GIF, JPEG or PNG image\n"
    "  save IN OUT.qvd                 a .qvd document or a GIF saved as a .qvd document\n"
    "  frames DOC OUT.qvd [--range A-B] (--duration SECONDS | --speed PERCENT |\n"
    "                     --reverse | --drop-duplicates)\n"
    "                                  edits frames A to B (from 1, every frame\n"
    "                                  counted; all without --range): one duration,\n"
    "                                  a speed (200 halves the durations), the\n"
    "                                  opposite order, or frames that repeat the one\n"
    "                                  before removed (their time added to it)\n"
    "  transition DOC OUT.qvd --after N --kind KIND [--frames K] [--duration SECONDS]\n"
    "                                  K frames (5 unless given, up to 60) between frame N\n"
    "                                  and the next showing the way from one to the other;\n"
    "                                  KIND is fade, slide-left, slide-right, slide-up,\n"
    "                                  slide-down, wipe-left, wipe-right, wipe-up,\n"
    "                                  wipe-down, dissolve or zoom; each new frame lasts\n"
    "                                  as long as frame N unless --duration is given\n"
    "  tween DOC OUT.qvd --after N [--frames K] [--ease linear|in|out|in-out]\n"
    "                                  K frames (5 unless given, up to 60) between frame N\n"
    "                                  and the next holding frame N's items moved, sized\n"
    "                                  and coloured part of the way to the next frame's\n"
    "  help, --help                    this text\n"
    "  --version                       the program's version\n"
    "\n"
    "FILE is a .qvd document, a GIF file opened as a document, or a JPEG or PNG\n"
    "picture opened as a document holding it. Without --colors or --exact the\n"
    "palette is exact up to 255 colours, else reduced to 256 (to 128 for exactly\n"
    "256 colours); size reduction is on unless --no-size-reduction is given.\n"
    "\n"
    "Exit codes: 0 success, 1 usage error, 2 input missing, unreadable or invalid,\n"
    "3 output that could not be written.\n";

struct Command {
    const char* name;
    int (*run)(std::span<const std::string>);
};

const Command kCommands[] = {
    {"info", vantrel::cli::InfoCommand},
    {"decode", vantrel::cli::DecodeCommand},
    {"render", vantrel::cli::RenderCommand},
    {"export", vantrel::cli::ExportCommand},
    {"export-frame", vantrel::cli::ExportFrameCommand},
    {"quick", vantrel::cli::QuickCommand},
    {"save", vantrel::cli::SaveCommand},
    {"frames", vantrel::cli::FramesCommand},
    {"transition", vantrel::cli::TransitionCommandLine},
    {"tween", vantrel::cli::TweenCommandLine},
};

// For the tests of failing saves: VANTREL_FAIL_FILE_STEP=N makes the N-th
// system step of the files this run writes fail (with ENOSPC, a full disk).
std::unique_ptr<vantrel::ScopedFileFault> FaultFromEnvironment() {
    const char* value = std::getenv("VANTREL_FAIL_FILE_STEP");
    if (value == nullptr) return nullptr;
    const int step = std::atoi(value);
    return step > 0 ? std::make_unique<vantrel::ScopedFileFault>(step, ENOSPC) : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto fault = FaultFromEnvironment();
    if (args.empty()) {
        std::cerr << kUsage;
        return vantrel::cli::kExitUsage;
    }
    const std::string& name = args[0];
    if (name == "help" || name == "--help" || name == "-h") {
        std::cout << kUsage;
        return vantrel::cli::kExitOk;
    }
    if (name == "--version") {
        std::cout << "vantrel-cli " << vantrel::kVersion << "\n";
        return vantrel::cli::kExitOk;
    }
    for (const Command& command : kCommands) {
        if (name == command.name) return vantrel::cli::RunCommand(command.run, std::span(args).subspan(1));
    }
    std::cerr << "vantrel-cli: unknown command " << name << "\n\n" << kUsage;
    return vantrel::cli::kExitUsage;
}
