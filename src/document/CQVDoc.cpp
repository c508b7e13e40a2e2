#include "document/CQVDoc.h"

namespace vantrel {

CQVDoc::CQVDoc() : defaultFont(LogFont::DocumentDefault()), animation_(std::make_unique<Animation>()) {}

CQVDoc::~CQVDoc() = default;

void CQVDoc::ReplaceAnimation(std::unique_ptr<Animation> animation) {
    if (animation) animation_ = std::move(animation);
}

void CQVDoc::SetPathName(const std::filesystem::path& path) {
    pathName_ = path;
    title_ = path.filename().string();
}

}  // namespace vantrel
