#pragma once
// Small questions the tools ask of the view.

#include <vector>

#include "document/AnimFrame.h"
#include "document/BitmapItem.h"
#include "view/EditorView.h"

namespace vantrel {

// The hot item when it is a bitmap item and no handle of it is hot, else null.
inline BitmapItem* HotBitmapWithoutHandle(const EditorView& view) {
    const HitResult& hot = view.Hot();
    if (!hot.item || hot.handle != kNoHandle || hot.item->Kind() != ItemKind::Bitmap) return nullptr;
    return static_cast<BitmapItem*>(hot.item);
}

// The identities of the selected items of the current frame, bottom to top.
inline std::vector<ObjectUid> SelectedUids(const EditorView& view) {
    std::vector<ObjectUid> uids;
    if (const AnimFrame* frame = view.CurrentFrame())
        for (const CanvasItem* item : frame->BottomToTop())
            if (item->IsSelected()) uids.push_back(item->Uid());
    return uids;
}

// The item of the current frame with this identity, or null.
inline CanvasItem* CurrentItem(const EditorView& view, ObjectUid uid) {
    return view.CurrentFrame() ? view.CurrentFrame()->FindItemByUid(uid) : nullptr;
}

}  // namespace vantrel
