#pragma once
// The cursor of each role the editor view announces.

#include <QCursor>

#include "view/ViewHost.h"

namespace vantrel {

// Drawn cursors come from :/cursors/ (with their hot spots); the plain roles
// use the system's own arrow, hand, cross, I-beam, move and busy cursors.
QCursor CursorFor(CursorRole role);

}  // namespace vantrel
