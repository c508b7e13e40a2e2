#include "app/CommandTable.h"

#include <algorithm>
#include <iterator>

namespace vantrel {

namespace {

using C = CommandId;

// clang-format off
constexpr CommandInfo kCommands[] = {
    // files and documents
    {C::FileNew, "&New\tCtrl+N", "Create a new document", "New", "new"},
    {C::FileOpen, "&Open...", "Open an existing document", "Open", ""},
    {C::FileClose, "&Close", "Close the active document", "Close", ""},
    {C::FileSave, "&Save Document\tCtrl+S", "Save the active document", "Save Document", "save_document"},
    {C::FileSaveAs, "Save Document &As...", "Save the active document with a new name", "Save As", ""},
    {C::FilePrintSetup, "P&rint Setup...", "Change the printer and printing options", "Page Setup", ""},
    {C::FilePrint, "&Print...\tCtrl+P", "Print the active document", "Print", "print"},
    {C::FilePrintPreview, "Print Pre&view", "Display full pages", "Print Preview", "print_preview"},
    {C::RecentFile1, "Recent File", "Open this document", "", ""},
    {C::RecentFile2, "", "Open this document", "", ""},
    {C::RecentFile3, "", "Open this document", "", ""},
    {C::RecentFile4, "", "Open this document", "", ""},
    {C::AppExit, "E&xit", "Quit the application; prompts to save documents", "Exit", ""},
    {C::OpenDocument, "&Open...\tCtrl+O", "Open Document", "Open Existing Document", "open"},
    {C::QuickAnimation, "Quick Animation...", "New From Frames", "Create New Animation From Images", "quick_animation"},
    {C::SaveAnimation, "Sav&e Animation\tCtrl+E", "Save Image", "Save Image or Animation", "save_animation"},
    {C::SaveAnimationAs, "Save Animation As...", "", "", ""},
    {C::ExportFrame, "Export &Frame As...", "", "", ""},
    {C::ImportImage, "Import &Image...\tCtrl+I", "", "", ""},
    // clipboard and items
    {C::EditCut, "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard", "Cut", "cut"},
    {C::EditCopy, "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard", "Copy", "copy"},
    {C::EditPaste, "&Paste\tCtrl+V", "Insert Clipboard contents", "Paste", "paste"},
    {C::EditUndo, "&Undo\tCtrl+Z", "Undo the last action", "Undo", ""},
    {C::EditRedo, "&Redo\tCtrl+Y", "Redo the previously undone action", "Redo", ""},
    {C::DeleteItems, "Delete\tDel", "", "", ""},
    {C::SelectAll, "Select All\tCtrl+A", "", "", ""},
    {C::AlignCenter, "Align Center", "", "", ""},
    {C::MoveBy, "Move By...", "", "", ""},
    {C::BringToFront, "Bring To Front", "", "", ""},
    {C::SendToBack, "Send To Back", "", "", ""},
    {C::ImageSize, "Image Size...", "Image Size", "Change Image Size", "image_size"},
    {C::CanvasSize, "Canvas Size...", "Image Canvas", "Change Image Canvas", "canvas_size"},
    {C::ConvertToBitmap, "Convert to Bitmap", "", "", ""},
    {C::ResizeAnimation, "Resize Animation...", "Scale the canvas and every item of every frame", "Resize Animation", ""},
    {C::Combine, "Combine", "Combine", "Combine Items Into One Bitmap", "combine"},
    {C::CombineFromContextMenu, "Combine", "", "", ""},
    {C::EditText, "Edit Text...", "Edit Text", "Edit Text", "edit_text"},
    {C::ChangeFont, "Change Font", "", "", ""},
    {C::RectangleStyle, "Rectangle Style...", "", "", ""},
    {C::ForegroundColor, "", "", "", ""},
    {C::BackgroundColor, "", "", "", ""},
    {C::EffectGrayscale, "Grayscale...", "Turn the selected bitmaps gray", "", ""},
    {C::EffectInvert, "Invert...", "Invert the colours of the selected bitmaps", "", ""},
    {C::EffectBrightnessContrast, "Brightness/Contrast...", "Change the brightness and contrast of the selected bitmaps", "", ""},
    {C::EffectBlur, "Blur...", "Blur the selected bitmaps", "", ""},
    {C::EffectSharpen, "Sharpen...", "Sharpen the selected bitmaps", "", ""},
    {C::EffectDropShadow, "Drop Shadow...", "Give the selected bitmaps a shadow", "", ""},
    {C::EffectOutline, "Outline...", "Draw an outline around the selected bitmaps", "", ""},
    {C::TransitionFade, "Fade...", "Fade the current frame into the next in new frames", "", ""},
    {C::TransitionSlideLeft, "Slide Left...", "Slide both frames to the left in new frames", "", ""},
    {C::TransitionSlideRight, "Slide Right...", "Slide both frames to the right in new frames", "", ""},
    {C::TransitionSlideUp, "Slide Up...", "Slide both frames up in new frames", "", ""},
    {C::TransitionSlideDown, "Slide Down...", "Slide both frames down in new frames", "", ""},
    {C::TransitionWipeLeft, "Wipe Left...", "Uncover the next frame from the right edge in new frames", "", ""},
    {C::TransitionWipeRight, "Wipe Right...", "Uncover the next frame from the left edge in new frames", "", ""},
    {C::TransitionWipeUp, "Wipe Up...", "Uncover the next frame from the bottom edge in new frames", "", ""},
    {C::TransitionWipeDown, "Wipe Down...", "Uncover the next frame from the top edge in new frames", "", ""},
    {C::TransitionDissolve, "Dissolve...", "Turn the current frame into the next pixel by pixel in new frames", "", ""},
    {C::TransitionZoomIn, "Zoom In...", "Grow the next frame from the centre in new frames", "", ""},
    {C::TweenToNextFrame, "Tween to Next Frame...", "Move and recolour the items of this frame toward the next in new frames", "", ""},
    // zoom
    {C::ZoomIn, "Zoom &In\tNum +", "", "", ""},
    {C::ZoomOut, "Zoom Out\tNum -", "", "", ""},
    {C::ZoomOneToOne, "Zoom 1:1\tNum *", "", "", ""},
    {C::ZoomToFit, "Zoom to &Fit\tCtrl+0", "Show the whole frame in the window", "Zoom to Fit", ""},
    {C::OnionSkin, "&Onion Skin\tF3", "Show the frames around the current one faintly over it", "Onion Skin", ""},
    {C::OnionSkinSettings, "Onion Skin Settings...", "Choose how many frames the onion skin shows", "", ""},
    // tools
    {C::ToolSelect, "", "", "Click to select, hold shift to add to selection, drag handles to resize (F5)", "tool_select"},
    {C::ToolZoom, "", "Zoom Tool", "Click to enlarge. Ctrl+Click to go back. Right click to restore to 1:1 (F6)", "tool_zoom"},
    {C::ToolDrawBitmap, "", "Draw Bitmap", "Draw Bitmap", "tool_bitmap"},
    {C::ToolCrop, "", "Crop Bitmap", "Select a Bitmap and Crop using handles", "tool_crop"},
    {C::ToolRectangle, "", "Draw Rectangle", "Draw Rectangle", "tool_rectangle"},
    {C::ToolEllipse, "", "Draw Ellipse", "Draw Ellipse", "tool_ellipse"},
    {C::ToolPen, "", "Pen Tool", "Paint Pixel. Hold Ctrl to Select New Colors.", "tool_pen"},
    {C::ToolText, "", "Draw Text", "Draw Text", "tool_text"},
    {C::ToolPick, "", "Pick a color", "Click to Select New Foreground Color. Use Shift to Select Background Color.", "tool_pick"},
    {C::ToolFill, "", "Bucket Fill", "Fill Bitmap with Foreground Color", "tool_fill"},
    // frames
    {C::InsertFrameBefore, "Before Current Frame", "", "", ""},
    {C::InsertFrameAfter, "After Current Frame", "Insert New Frame After Currnet Frame", "Insert New Frame After Currnet Frame", "insert_frame"},
    {C::InsertFrameAtEnd, "At the End", "", "", ""},
    {C::DuplicateFrame, "Duplicate Frame", "", "", ""},
    {C::ReverseFrames, "Reverse Frames", "Put the selected frames in the opposite order", "Reverse Frames", ""},
    {C::ChangeSpeed, "Change Speed...", "Make the selected frames (or all) play faster or slower", "Change Speed", ""},
    {C::RemoveDuplicateFrames, "Remove Duplicate Frames", "Remove frames that look exactly like the frame before", "Remove Duplicate Frames", ""},
    {C::DeleteFrame, "Delete", "Delete Current Frame", "Delete Current Frame", "delete_frame"},
    {C::FirstFrame, "", "Go to First Frame", "Go to First Frame", "first_frame"},
    {C::PreviousFrame, "", "Go to Previous Frame", "Go to Previous Frame", "previous_frame"},
    {C::NextFrame, "", "Go to Next Frame", "Go to Next Frame", "next_frame"},
    {C::LastFrame, "", "Go to Last Frame", "Go to Last Frame", "last_frame"},
    {C::MasterFrame, "Master Frame", "Page Master", "Switch This Frame To Master Frame", "master_frame"},
    {C::FrameDuration, "Duration", "", "", ""},
    {C::LoopCount, "Loop count...", "", "", ""},
    {C::SetBackgroundColor, "Set Background Color...", "Set Background Color", "", ""},
    {C::AutoFrameSize, "Auto Frame Size", "Auto Frame Size", "Automatically Adjust Frame Size to Existing Images", "auto_frame_size"},
    {C::FrameSetup, "Frame Setup...", "", "", ""},
    {C::PreviewAnimation, "Preview Animation\tF9", "Preview Animation", "Preview Animation (F9)", "preview"},
    {C::GoToFrame, "", "", "", ""},
    // windows and bars
    {C::ViewToolbar, "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar", ""},
    {C::ViewStatusBar, "&Status Bar", "Show or hide the status bar", "Toggle StatusBar", ""},
    {C::ViewFrameList, "Frame List", "", "", ""},
    {C::ViewCurrentColors, "Current Colors", "", "", ""},
    {C::ViewBackground, "Background", "", "", ""},
    {C::ViewToolbox, "Toolbox", "", "", ""},
    {C::WindowArrange, "&Arrange Icons", "Arrange icons at the bottom of the window", "Arrange Icons", ""},
    {C::WindowCascade, "&Cascade", "Arrange windows so they overlap", "Cascade Windows", ""},
    {C::WindowTile, "&Tile", "Arrange windows as non-overlapping tiles", "Tile Windows", ""},
    {C::PreviousPane, "", "Switch back to the previous window pane", "Previous Pane", ""},
    // help
    {C::HelpContents, "Contents\tF1", "Help Contents", "Help Contents", "help"},
    {C::HelpQuickTour, "Quick Tour...", "", "", ""},
    {C::HelpReference, "Reference", "", "", ""},
    {C::HelpTutorial, "Tutorial", "", "", ""},
    {C::HelpHomePage, "Tarnwick On the Web...", "", "", ""},
    {C::AppAbout, "&About Vantrel GIF Animator...", "Display program information, version number and copyright", "About", ""},
};

struct Accelerator {
    QKeyCombination key;
    CommandId id;
};

// The whole accelerator table, and F1 for the help contents its menu entry names.
const Accelerator kAccelerators[] = {
    {Qt::CTRL | Qt::Key_A, C::SelectAll},
    {Qt::CTRL | Qt::Key_C, C::EditCopy},
    {Qt::CTRL | Qt::Key_E, C::SaveAnimation},
    {Qt::CTRL | Qt::Key_F, C::GoToFrame},
    {Qt::CTRL | Qt::Key_I, C::ImportImage},
    {Qt::CTRL | Qt::Key_N, C::FileNew},
    {Qt::CTRL | Qt::Key_O, C::FileOpen},
    {Qt::CTRL | Qt::Key_P, C::FilePrint},
    {Qt::CTRL | Qt::Key_S, C::FileSave},
    {Qt::CTRL | Qt::Key_V, C::EditPaste},
    {Qt::CTRL | Qt::Key_X, C::EditCut},
    {Qt::CTRL | Qt::Key_Z, C::EditUndo},
    {Qt::ALT | Qt::Key_Backspace, C::EditUndo},
    {Qt::CTRL | Qt::Key_Y, C::EditRedo},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, C::EditRedo},
    {QKeyCombination(Qt::Key_Delete), C::DeleteItems},
    {Qt::SHIFT | Qt::Key_Delete, C::EditCut},
    {Qt::CTRL | Qt::Key_Insert, C::EditCopy},
    {Qt::SHIFT | Qt::Key_Insert, C::EditPaste},
    {QKeyCombination(Qt::Key_Home), C::FirstFrame},
    {QKeyCombination(Qt::Key_PageUp), C::PreviousFrame},
    {QKeyCombination(Qt::Key_PageDown), C::NextFrame},
    {QKeyCombination(Qt::Key_End), C::LastFrame},
    {QKeyCombination(Qt::Key_F5), C::ToolSelect},
    {QKeyCombination(Qt::Key_F6), C::ToolZoom},
    {Qt::SHIFT | Qt::Key_F6, C::PreviousPane},
    {QKeyCombination(Qt::Key_F9), C::PreviewAnimation},
    {Qt::KeypadModifier | Qt::Key_Plus, C::ZoomIn},
    {Qt::KeypadModifier | Qt::Key_Minus, C::ZoomOut},
    {Qt::KeypadModifier | Qt::Key_Asterisk, C::ZoomOneToOne},
    {Qt::CTRL | Qt::Key_0, C::ZoomToFit},
    {QKeyCombination(Qt::Key_F3), C::OnionSkin},
    {QKeyCombination(Qt::Key_F1), C::HelpContents},
};
// clang-format on

}  // namespace

std::span<const CommandInfo> AllCommands() { return kCommands; }

const CommandInfo& CommandInfoFor(CommandId id) {
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [id](const CommandInfo& info) { return info.id == id; });
    return it != std::end(kCommands) ? *it : kCommands[0];
}

QList<QKeySequence> AcceleratorsFor(CommandId id) {
    QList<QKeySequence> keys;
    for (const Accelerator& a : kAccelerators)
        if (a.id == id) keys.append(QKeySequence(a.key));
    return keys;
}

}  // namespace vantrel
