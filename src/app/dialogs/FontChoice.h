#pragma once
// "Select Font": Qt's font dialog on a font record (face, size in pixels,
// weight, italic, underline, strike-out), and the conversions between the
// record and QFont.

#include <QFont>

#include "text/LogFont.h"

class QWidget;

namespace vantrel {

// The record's face, pixel size (|height|), weight, italic, underline and strike-out.
QFont FontFromRecord(const LogFont& record);
// record with those six taken from font (the other fields stay).
LogFont RecordFromFont(const QFont& font, LogFont record);
// Shows the font dialog on record; true (record changed) when confirmed.
bool AskFont(QWidget* parent, LogFont& record);

}  // namespace vantrel
