#include "app/HelpWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vantrel {

HelpWindow::HelpWindow(const QString& home, QWidget* parent) : QDialog(parent), home_(home) {
    setWindowTitle(QStringLiteral("Vantrel GIF Animator Help"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpPage"));
    browser_->setOpenExternalLinks(true);
    auto* back = new QPushButton(QStringLiteral("Back"), this);
    auto* forward = new QPushButton(QStringLiteral("Forward"), this);
    auto* homeButton = new QPushButton(QStringLiteral("Home"), this);
    for (QPushButton* button : {back, forward, homeButton}) button->setAutoDefault(false);
    find_ = new QLineEdit(this);
    find_->setObjectName(QStringLiteral("helpFind"));
    find_->setPlaceholderText(QStringLiteral("Find in page"));
    back->setEnabled(false);
    forward->setEnabled(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addWidget(forward);
    bar->addWidget(homeButton);
    bar->addStretch(1);
    bar->addWidget(new QLabel(QStringLiteral("Find:"), this));
    bar->addWidget(find_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);

    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(homeButton, &QPushButton::clicked, this, [this] { ShowPage(home_); });
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(find_, &QLineEdit::returnPressed, this, &HelpWindow::FindNext);
    resize(760, 600);
}

void HelpWindow::ShowPage(const QString& page) {
    browser_->setSource(QUrl::fromLocalFile(page));
    show();
    raise();
    activateWindow();
}

bool HelpWindow::FindNext() {
    const QString text = find_->text();
    if (text.isEmpty()) return false;
    if (browser_->find(text)) return true;
    browser_->moveCursor(QTextCursor::Start);
    return browser_->find(text);
}

}  // namespace vantrel
