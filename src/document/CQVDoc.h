#pragma once
// CQVDoc: the document behind one editor window. It has a path name, a title
// and a modified flag, the default font of new labels, and owns one
// Animation. Nothing here depends on a windowing system.

#include <filesystem>
#include <memory>
#include <string>

#include "document/Animation.h"
#include "text/LogFont.h"

namespace vantrel {

class CQVDoc {
public:
    // A new document: one empty 468 x 60 frame, default label font Arial 24.
    CQVDoc();
    ~CQVDoc();
    CQVDoc(const CQVDoc&) = delete;
    CQVDoc& operator=(const CQVDoc&) = delete;

    // Font given to new labels.
    LogFont defaultFont;

    Animation& GetAnimation() { return *animation_; }
    const Animation& GetAnimation() const { return *animation_; }
    // Puts a fully built animation in place of the current one (which is
    // destroyed). Used by readers that build into a fresh animation so that a
    // failure leaves the document as it was.
    void ReplaceAnimation(std::unique_ptr<Animation> animation);

    const std::filesystem::path& PathName() const { return pathName_; }
    // Sets the path and makes the title its file name.
    void SetPathName(const std::filesystem::path& path);
    void ClearPathName() { pathName_.clear(); }
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) { modified_ = modified; }

private:
    std::filesystem::path pathName_;
    std::string title_;
    bool modified_ = false;
    std::unique_ptr<Animation> animation_;
};

}  // namespace vantrel
