// The editor: starts the application and runs its event loop.

#include <QApplication>

#include "app/AnimatorApp.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    vantrel::CAnimatorApp animator;
    const int exitCode = animator.InitInstance(arguments);
    if (exitCode >= 0) return exitCode;
    return QApplication::exec();
}
