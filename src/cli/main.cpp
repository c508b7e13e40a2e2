// vantrel-cli: inspect, decode and render animations without the editor.

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace {

const char kUsage[] =
    "Usage: vantrel-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  info [--json] FILE.gif       the GIF's logical screen, loop count and images\n"
    "  decode FILE.gif OUTDIR       every image as OUTDIR/image-001.png, ...\n"
    "  help                         this text\n"
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
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
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
