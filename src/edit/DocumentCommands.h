#pragma once
// Commands on settings of the document itself.

#include "document/Command.h"
#include "text/LogFont.h"

namespace vantrel {

// The font new labels get (stored in the document file).
class SetDefaultFontCommand final : public Command {
public:
    SetDefaultFontCommand(std::string label, const LogFont& font) : Command(std::move(label)), font_(font) {}
    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override { Execute(doc); }

private:
    LogFont font_;  // the font to put in; after a run, the one taken out
};

}  // namespace vantrel
