#include "app/dialogs/FontChoice.h"

#include <QFontDialog>
#include <algorithm>
#include <cstdlib>

namespace vantrel {

QFont FontFromRecord(const LogFont& record) {
    QFont font(QString::fromStdString(record.FaceName()));
    font.setPixelSize(std::max(1, std::abs(record.height)));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(record.weight == 0 ? 400 : record.weight, 1, 1000)));
    font.setItalic(record.italic != 0);
    font.setUnderline(record.underline != 0);
    font.setStrikeOut(record.strikeOut != 0);
    return font;
}

LogFont RecordFromFont(const QFont& font, LogFont record) {
    record.SetFaceName(font.family().toStdString());
    // The dialog offers point sizes; the record keeps pixels (at 96 dots per inch).
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : int(font.pointSizeF() * 96.0 / 72.0 + 0.5);
    // A negative height asks for the em size, as the font dialog's sizes mean.
    record.height = record.height < 0 ? -std::max(1, pixels) : std::max(1, pixels);
    record.weight = font.weight();
    record.italic = font.italic() ? 1 : 0;
    record.underline = font.underline() ? 1 : 0;
    record.strikeOut = font.strikeOut() ? 1 : 0;
    return record;
}

std::optional<LogFont> AskFont(QWidget* parent, const LogFont& record) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, FontFromRecord(record), parent, QStringLiteral("Select Font"));
    if (!ok) return std::nullopt;
    return RecordFromFont(chosen, record);
}

}  // namespace vantrel
