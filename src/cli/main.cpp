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

namespace {

const char kUsage[] =
    "Usage: vantrel-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  info [--json] FILE.gif          the GIF's logical screen, loop count and images\n"
    "  info [--json] --document FILE   the document: canvas, loop count, frames, items\n"
    "                                  (always for .qvd files)\n"
    "  decode FILE.gif OUTDIR          every GIF image as OUTDIR/image-001.png, ...\n"
    "  render FILE OUTDIR              every frame rendered as OUTDIR/frame-001.png, ...\n"
    "  export FILE OUT.gif [--colors N | --exact] [--no-size-reduction]\n"
    "                                  the animation (all frames but master frames) as\n"
    "                                  one GIF; prints the colour counts\n"
    "  export-frame FILE N OUT.(gif|jpg|jpeg|jpe) [--colors N | --exact] [--quality 0-10]\n"
    "                                  frame N (from 1, every frame counted) as GIF or\n"
    "                                  JPEG (quality 7 unless given)\n"
    "  quick OUT.(qvd|gif) [--duration SECONDS] IMAGE...\n"
    "                                  a new animation, one frame per GIF or JPEG image\n"
    "  save IN OUT.qvd                 a .qvd document or a GIF saved as a .qvd document\n"
    "  help                            this text\n"
    "\n"
    "FILE is a .qvd document or a GIF file opened as a document. Without --colors or\n"
    "--exact the palette is exact up to 255 colours, else reduced to 256 (to 128 for\n"
    "exactly 256 colours); size reduction is on unless --no-size-reduction is given.\n"
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
#ifdef VANTREL_HAVE_DOCUMENT
    {"render", vantrel::cli::RenderCommand},
    {"export", vantrel::cli::ExportCommand},
    {"export-frame", vantrel::cli::ExportFrameCommand},
    {"quick", vantrel::cli::QuickCommand},
    {"save", vantrel::cli::SaveCommand},
#endif
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
    for (const Command& command : kCommands) {
        if (name == command.name) return command.run(std::span(args).subspan(1));
    }
    std::cerr << "vantrel-cli: unknown command " << name << "\n\n" << kUsage;
    return vantrel::cli::kExitUsage;
}
