#include "app/Printing.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "app/DibImage.h"
#include "document/AnimFrame.h"
#include "view/EditorView.h"
#include "view/PrintLayout.h"

namespace vantrel {

namespace {

// Page units (600 across) to printer pixels.
class PageScale {
public:
    explicit PageScale(int pageWidthPixels) : pixels_(pageWidthPixels) {}
    int ToDevice(int units) const { return static_cast<int>(static_cast<qint64>(units) * pixels_ / kPrintPageWidth); }
    int ToUnits(int devicePixels) const {
        return pixels_ > 0 ? static_cast<int>(static_cast<qint64>(devicePixels) * kPrintPageWidth / pixels_) : 0;
    }
    QRect ToDevice(const Rect& r) const {
        const int left = ToDevice(r.left);
        const int top = ToDevice(r.top);
        return QRect(left, top, ToDevice(r.right) - left, ToDevice(r.bottom) - top);
    }

private:
    int pixels_;
};

}  // namespace

std::filesystem::path UnusedPdfPath(const std::filesystem::path& document) {
    const std::filesystem::path folder = document.parent_path();
    const std::string stem = document.stem().string();
    std::filesystem::path candidate = folder / (stem + ".pdf");
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(candidate, ec)); ++n)
        candidate = folder / (stem + " (" + std::to_string(n) + ").pdf");
    return candidate;
}

QPrinter& SharedPrinter() {
    // Made once and kept for the whole run (past the application object).
    static QPrinter* const printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}

int PrintAnimation(EditorView& view, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    // Frame images go into the page as they are, not recompressed.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);

    const QRect page = painter.viewport();
    const PageScale scale(page.width());
    const int pageHeight = PrintPageHeight(page.width(), page.height());

    // A true 12-point font on the printer, whatever its resolution.
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(kPrintFontPoints);
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const QString title = QString::fromLatin1(kPrintTitle);

    view.BeginPrinting();
    int pages = 0;
    while (view.HasPageToPrint()) {
        if (pages > 0) printer.newPage();
        const PrintPageLayout layout = view.LayoutNextPage(pageHeight, scale.ToUnits(metrics.horizontalAdvance(title)));
        painter.drawText(scale.ToDevice(layout.titleTopLeft.x), scale.ToDevice(layout.titleTopLeft.y) + metrics.ascent(),
                         title);
        for (const PrintedFrame& printed : layout.frames) {
            const QRect target = scale.ToDevice(printed.rect);
            painter.drawImage(target, ToQImage(printed.frame->Image()));
            const QString duration = QString::fromStdString(printed.durationText);
            const int right = scale.ToDevice(printed.rect.right);
            painter.drawText(right - metrics.horizontalAdvance(duration),
                             scale.ToDevice(printed.rect.bottom) + metrics.ascent(), duration);
        }
        ++pages;
    }
    painter.end();
    return pages;
}

}  // namespace vantrel
