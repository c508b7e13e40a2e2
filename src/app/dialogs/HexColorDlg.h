#pragma once
// "Hexadecimal Color": one line of up to six hexadecimal digits for red,
// green and blue. The caller reads the text; view/ColorModel parses it.

#include <QDialog>

class QLineEdit;

namespace vantrel {

class CHexColorDlg : public QDialog {
    Q_OBJECT
public:
    CHexColorDlg(const QString& hexText, QWidget* parent);
    QString Text() const;

protected:
    // The edit box takes the focus with its whole text selected.
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* edit_;
};

}  // namespace vantrel
