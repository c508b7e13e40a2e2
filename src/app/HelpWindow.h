#pragma once
// "Vantrel GIF Animator Help": the help pages beside the program, shown in
// the program's own window (no web browser needed) with Back, Forward,
// Home and a find box. One window serves every help command.

#include <QDialog>

class QLineEdit;
class QTextBrowser;

namespace vantrel {

class HelpWindow final : public QDialog {
    Q_OBJECT

public:
    // home is the contents page the Home button goes back to.
    HelpWindow(const QString& home, QWidget* parent);
    // Shows page (a file) and brings the window up.
    void ShowPage(const QString& page);
    QTextBrowser& Browser() const { return *browser_; }
    QLineEdit& FindBox() const { return *find_; }
    // Finds the find box's text after the cursor, from the top again at the
    // end; false when the page does not hold it.
    bool FindNext();

private:
    QTextBrowser* browser_;
    QLineEdit* find_;
    QString home_;
};

}  // namespace vantrel
