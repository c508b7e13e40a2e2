// Cut, Copy and Paste through the system clipboard. Items travel as an item
// pack, so they land in any document at the place they were copied from;
// a picture of them goes along for other programs. A picture from another
// program becomes a bitmap item centred on the view's centre point.

#include <cstdio>
#include <string>

#include "document/AnimFrame.h"
#include "document/Archive.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentMemory.h"
#include "document/ItemPack.h"
#include "edit/ItemCommands.h"
#include "view/EditorView.h"
#include "view/ViewClipboard.h"
#include "view/ViewCommands.h"
#include "view/ViewDialogs.h"
#include "view/tools/ToolSupport.h"

namespace vantrel {

namespace {

using C = CommandId;

void AnySelected(const EditorView& v, CommandUi& ui) {
    ui.enabled = v.CurrentFrame() && v.CurrentFrame()->CountSelected() > 0;
}

void ClipboardHasSomething(const EditorView& v, CommandUi& ui) {
    const ViewClipboard& clipboard = v.Host().Clipboard();
    ui.enabled = v.CurrentFrame() && (clipboard.HasItems() || clipboard.HasImage());
}

// Places the selection on the clipboard; false when it yields no pack.
bool PutSelection(EditorView& v) {
    const AnimFrame& frame = *v.CurrentFrame();
    const auto pack = CopySelectedToBlock(frame);
    const std::unique_ptr<BitmapItem> picture = BitmapItem::Combining(frame.SelectedItems());
    if (!pack || !picture) return false;
    v.Host().Clipboard().PutItems(*pack, picture->HeldImage().Copy());
    return true;
}

void Copy(EditorView& v) {
    if (!PutSelection(v)) return;
    v.DeselectAll();
    v.Host().UpdateNow();
}

void Cut(EditorView& v) {
    if (!PutSelection(v)) return;
    v.InvalidateSelectionHandles();
    v.Execute(std::make_unique<RemoveItemsCommand>("Cut", v.CurrentFrame()->Uid(), SelectedUids(v)));
    v.Host().UpdateNow();
}

bool HasTransparency(const PackedDib& image) {
    for (int y = 0; y < image.Height(); ++y) {
        const PixelValue* row = image.Row(y);
        for (int x = 0; x < image.Width(); ++x)
            if (!IsOpaque(row[x])) return true;
    }
    return false;
}

void PasteItems(EditorView& v, const std::vector<std::uint8_t>& pack) {
    AnimFrame& frame = *v.CurrentFrame();
    CQVDoc& doc = v.Document();
    // A pack the frame cannot take is refused before anything is made of it.
    const auto entries = PackEntryCount(pack);
    if (entries) {
        if (Status fits = CheckItemsFit(doc.limits, std::uint64_t(frame.CountItems()), *entries); !fits) {
            v.TellRefusal(fits);
            return;
        }
    }
    // Unpacked apart, then put on top of the frame as one step. A damaged
    // pack gives the items before the damage; one the document cannot take
    // gives nothing.
    ItemList unpacked;
    const Status status = PasteBlock(unpacked, pack, doc.limits, MemoryOf(doc.GetAnimation()).Total());
    const bool damaged = !status && status.message() == kUnexpectedFileFormat;
    if (!status && !damaged) {
        v.TellRefusal(status);
        return;
    }
    std::vector<std::unique_ptr<CanvasItem>> items;
    while (CanvasItem* bottom = unpacked.Bottom()) items.push_back(unpacked.Unlink(bottom));
    v.DeselectAll();
    v.Execute(std::make_unique<AddItemsCommand>("Paste", frame.Uid(), std::move(items)));
    v.InvalidateSelectionHandles();
    v.Host().UpdateNow();
    if (damaged) v.Host().ShowMessage(status.message(), MessageStyle::Error);
}

// Refuses (with a message) a picture larger than an item may be.
bool PictureFits(EditorView& v, std::pair<int, int> size) {
    if (size.first <= kMaxItemSide && size.second <= kMaxItemSide) return true;
    char text[200];
    std::snprintf(text, sizeof text,
                  "The picture on the clipboard is %d x %d pixels; a picture can be at most 1200 x 1200.", size.first,
                  size.second);
    v.Host().ShowMessage(text, MessageStyle::Information);
    return false;
}

// A picture another program put on the clipboard in a form that cannot be
// read (a damaged PNG, a format without a reader).
constexpr const char* kUnreadableClipboardPicture = "The picture on the clipboard cannot be read.";

void PasteImage(EditorView& v, PackedDib image) {
    if (!PictureFits(v, {image.Width(), image.Height()})) return;
    const bool blend = HasTransparency(image);
    auto item = BitmapItem::FromImage(std::move(image), blend);
    const Point centre = v.Centre();
    item->MoveTo(centre.x - item->Bounds().Width() / 2, centre.y - item->Bounds().Height() / 2);
    item->SetSelected(true);
    v.DeselectAll();
    v.Execute(std::make_unique<AddItemCommand>("Paste", v.CurrentFrame()->Uid(), std::move(item)));
    v.InvalidateSelectionHandles();
    v.Host().UpdateNow();
}

void Paste(EditorView& v) {
    v.Host().SetCursor(CursorRole::Busy);
    const ViewClipboard& clipboard = v.Host().Clipboard();
    if (clipboard.HasItems()) {
        if (const auto pack = clipboard.Items()) PasteItems(v, *pack);
    } else if (const auto size = clipboard.ImageSize(); !size) {
        v.Host().ShowMessage(kUnreadableClipboardPicture, MessageStyle::Error);
    } else if (PictureFits(v, *size)) {
        auto image = clipboard.Image();
        if (image && image->HasBlock() && image->Width() > 0 && image->Height() > 0)
            PasteImage(v, std::move(*image));
        else
            v.Host().ShowMessage(kUnreadableClipboardPicture, MessageStyle::Error);
    }
    v.Host().RefreshCursor();
}

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::EditCut, AnySelected, Cut},
    {C::EditCopy, AnySelected, Copy},
    {C::EditPaste, ClipboardHasSomething, Paste},
};

}  // namespace

ViewRoutes ClipboardRoutes() { return kRoutes; }

}  // namespace vantrel
