#include "edit/DocumentCommands.h"

#include <utility>

#include "document/CQVDoc.h"

namespace vantrel {

bool SetDefaultFontCommand::Execute(CQVDoc& doc) {
    if (doc.defaultFont == font_) return false;
    std::swap(doc.defaultFont, font_);
    return true;
}

}  // namespace vantrel
