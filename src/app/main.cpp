// The editor: starts the application and runs its event loop.

#include <QApplication>

#include <cstdio>
#include <cstring>

#include "app/AnimatorApp.h"
#include "vantrel/Version.h"

namespace {

const char kUsage[] =
    "Usage: vantrel [FILE]\n"
    "       vantrel --print FILE\n"
    "       vantrel --help | --version\n"
    "\n"
    "Vantrel GIF Animator, an editor for small animated GIFs.\n"
    "\n"
    "  FILE          a .qvd document, a GIF file opened as an animation, or a JPEG\n"
    "                or PNG picture opened as a new document holding it; without\n"
    "                FILE the editor starts with a new document\n"
    "  --print FILE  prints FILE on the default printer (without a printer, to\n"
    "                FILE's name with .pdf beside it) and ends\n"
    "  --help        this text\n"
    "  --version     the program's version\n"
    "\n"
    "The command-line tool vantrel-cli exports, renders and inspects animations\n"
    "without a display; see vantrel-cli --help.\n";

// --help and --version are answered before Qt looks for a display, so both
// work in a terminal without one. Returns the exit status, or -1 to go on.
int AnswerWithoutDisplay(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("vantrel %s\n", vantrel::kVersion);
            return 0;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const int answered = AnswerWithoutDisplay(argc, argv); answered >= 0) return answered;
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    vantrel::CAnimatorApp animator;
    const int exitCode = animator.InitInstance(arguments);
    if (exitCode >= 0) return exitCode;
    return QApplication::exec();
}
