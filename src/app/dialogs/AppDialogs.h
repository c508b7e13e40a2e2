#pragma once
// The dialogs the editor view opens, shown over its window.

#include "view/ViewDialogs.h"

class QWidget;

namespace vantrel {

class AppDialogs final : public ViewDialogs {
public:
    explicit AppDialogs(QWidget* parent) : parent_(parent) {}
    bool EditText(TextEditValues& values) override;
    bool SelectFont(LogFont& font) override;

private:
    QWidget* parent_;
};

}  // namespace vantrel
