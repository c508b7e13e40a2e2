#pragma once
// "Select Font": Qt's font dialog on a font record (face, size in pixels,
// weight, italic, underline, strike-out), and the conversions between the
// record and QFont.

#include <QFont>
#include <optional>

#include "text/LogFont.h"

class QWidget;

namespace vantrel {

// The record's face, pixel size (|height|), weight, italic, underline and strike-out.
QFont FontFromRecord(const LogFont& record);
// record with those six taken from font (the other fields stay).
LogFont RecordFromFont(const QFont& font, LogFont record);
// Shows the font dialog on record: record with the font chosen, or nothing when cancelled.
std::optional<LogFont> AskFont(QWidget* parent, const LogFont& record);

}  // namespace vantrel
