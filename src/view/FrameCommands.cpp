// The frame commands of the editor view: inserting, duplicating and deleting
// frames, the master flag and duration of a frame, the canvas size, the loop count, the preview, going to a frame, and writing the
// animation or the current frame to a file.

#include <memory>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "edit/FrameCommands.h"
#include "view/EditorView.h"
#include "view/FrameRules.h"
#include "view/SaveAnimation.h"
#include "view/ViewCommands.h"
#include "view/ViewDialogs.h"

namespace vantrel {

namespace {

using C = CommandId;

template <CommandId id>
void Rule(const EditorView& v, CommandUi& ui) {
    if (const auto state = FrameCommandState(id, v.GetAnimation(), v.CurrentFrame())) ui = *state;
}

ObjectUid CurrentUid(const EditorView& v) { return v.CurrentFrame() ? v.CurrentFrame()->Uid() : 0; }
ViewDialogs& Dialogs(EditorView& v) { return v.Host().Dialogs(); }

// Runs a command that adds a frame and shows the new frame.
void AddFrame(EditorView& v, std::unique_ptr<AddFrameCommand> command) {
    AddFrameCommand& added = *command;
    if (v.Execute(std::move(command))) v.ShowFrame(v.GetAnimation().FindFrameByUid(added.FrameUid()));
}

template <InsertPlace place>
void Insert(EditorView& v) {
    AddFrame(v, std::make_unique<InsertFrameCommand>("Insert Frame", CurrentUid(v), place));
}

void Duplicate(EditorView& v) { AddFrame(v, std::make_unique<DuplicateFrameCommand>("Duplicate Frame", CurrentUid(v))); }

void Delete(EditorView& v) {
    const AnimFrame* frame = v.CurrentFrame();
    if (!frame->IsEmpty() &&
        v.Host().ShowMessage("Do you really want to delete this frame and all its contents?",
                             MessageStyle::QuestionYesNo) != MessageAnswer::Yes)
        return;
    auto command = std::make_unique<DeleteFrameCommand>("Delete Frame", frame->Uid());
    DeleteFrameCommand& deleting = *command;
    if (!v.Execute(std::move(command))) return;
    v.ShowFrame(v.GetAnimation().FindFrameByUid(deleting.NextCurrent()));
    v.Host().RedrawAll();
}

void Master(EditorView& v) { v.Execute(MakeMasterFrameCommand(CurrentUid(v), !v.CurrentFrame()->isMaster)); }

void Duration(EditorView& v) {
    if (const auto duration = Dialogs(v).FrameDuration(v.CurrentFrame()->duration))
        v.Execute(MakeFrameDurationCommand(CurrentUid(v), *duration));
}

void Loop(EditorView& v) {
    if (const auto count = Dialogs(v).LoopCount(v.GetAnimation().loopCount))
        v.Execute(std::make_unique<LoopCountCommand>("Loop Count", *count));
}

void AutoSize(EditorView& v) { v.Execute(std::make_unique<AutoFrameSizeCommand>("Auto Frame Size", CurrentUid(v))); }

void Setup(EditorView& v) {
    const Animation& animation = v.GetAnimation();
    if (const auto size = Dialogs(v).FrameSetup({animation.Width(), animation.Height()}))
        v.Execute(std::make_unique<CanvasSizeCommand>("Frame Setup", size->width, size->height));
}

void Preview(EditorView& v) { Dialogs(v).PreviewAnimation(v.GetAnimation()); }

void GoTo(EditorView& v) {
    const auto chosen = Dialogs(v).GoToFrame(v.GetAnimation(), CurrentUid(v));
    if (chosen && *chosen != CurrentUid(v)) {
        if (AnimFrame* frame = v.GetAnimation().FindFrameByUid(*chosen)) v.ShowFrame(frame);
    }
}

// The options dialog, shown with image currentImage as the current one.
GifOptionsChooser GifChooser(EditorView& v, std::size_t currentImage) {
    return [&v, currentImage](const GifExportRequest& request) {
        GifExportRequest shown = request;
        shown.currentImage = currentImage;
        return Dialogs(v).GifSaveOptions(shown);
    };
}

// Tells the user why a save failed.
void Report(EditorView& v, const SaveOutcome& outcome) {
    if (outcome.kind == SaveOutcome::Kind::Failed) v.Host().ShowMessage(outcome.status.message(), MessageStyle::Error);
}

void Save(EditorView& v, bool saveAs) {
    Animation& animation = v.GetAnimation();
    const std::string title = animation.CountFrames(false) > 1 ? "Save Animation As" : "Save Image As";
    const SavePathChooser ask = [&](const std::filesystem::path& suggested) {
        return Dialogs(v).AnimationPath(title, suggested);
    };
    Report(v, SaveAnimationFile(animation, saveAs, ask,
                                GifChooser(v, ExportImageIndexOf(animation, v.CurrentFrame()))));
}

void ExportCurrent(EditorView& v) {
    const FrameExportChooser ask = [&](const std::filesystem::path& suggested) {
        return Dialogs(v).FrameExportPath(suggested);
    };
    Report(v, ExportFrameFile(v.GetAnimation(), *v.CurrentFrame(), ask, GifChooser(v, 0),
                              [&v] { return Dialogs(v).JpegQuality(); }));
}

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::InsertFrameBefore, Rule<C::InsertFrameBefore>, Insert<InsertPlace::Before>},
    {C::InsertFrameAfter, Rule<C::InsertFrameAfter>, Insert<InsertPlace::After>},
    {C::InsertFrameAtEnd, Rule<C::InsertFrameAtEnd>, Insert<InsertPlace::AtEnd>},
    {C::DuplicateFrame, Rule<C::DuplicateFrame>, Duplicate},
    {C::DeleteFrame, Rule<C::DeleteFrame>, Delete},
    {C::MasterFrame, Rule<C::MasterFrame>, Master},
    {C::FrameDuration, Rule<C::FrameDuration>, Duration},
    {C::LoopCount, Rule<C::LoopCount>, Loop},
    {C::AutoFrameSize, Rule<C::AutoFrameSize>, AutoSize},
    {C::FrameSetup, Rule<C::FrameSetup>, Setup},
    {C::PreviewAnimation, Rule<C::PreviewAnimation>, Preview},
    {C::GoToFrame, Rule<C::GoToFrame>, GoTo},
    {C::ExportFrame, Rule<C::ExportFrame>, ExportCurrent},
    {C::SaveAnimationAs, Rule<C::SaveAnimationAs>, [](EditorView& v) { Save(v, true); }},
    {C::SaveAnimation, Rule<C::SaveAnimation>, [](EditorView& v) { Save(v, false); }},
};

}  // namespace

ViewRoutes FrameRoutes() { return kRoutes; }

}  // namespace vantrel
