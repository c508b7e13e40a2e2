// The frame commands of the editor view: inserting, duplicating and deleting
// frames, the master flag and duration of a frame, the canvas size, the loop count, the preview, going to a frame, and writing the
// animation or the current frame to a file.

#include <memory>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "edit/FrameCommands.h"
#include "edit/FrameRangeCommands.h"
#include "view/EditorView.h"
#include "view/FileNames.h"
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

// Tells the user why an edit of several frames was refused.
void Tell(EditorView& v, const Status& status) {
    if (!status) v.Host().ShowMessage(status.message(), MessageStyle::Information);
}

// The chosen frames when several are, else every frame.
std::vector<ObjectUid> ChosenOrAll(const EditorView& v) {
    std::vector<ObjectUid> frames = v.ChosenFrames();
    if (frames.size() > 1) return frames;
    frames.clear();
    for (const auto& frame : v.GetAnimation().Frames()) frames.push_back(frame->Uid());
    return frames;
}

void Duplicate(EditorView& v) {
    const std::vector<ObjectUid> chosen = v.ChosenFrames();
    if (chosen.size() > 1) return Tell(v, DuplicateFrames(v.Document(), chosen));
    AddFrame(v, std::make_unique<DuplicateFrameCommand>("Duplicate Frame", CurrentUid(v)));
}

void DeleteChosen(EditorView& v, const std::vector<ObjectUid>& chosen) {
    if (v.Host().ShowMessage("Do you really want to delete these frames and all their contents?",
                             MessageStyle::QuestionYesNo) != MessageAnswer::Yes)
        return;
    const Animation& animation = v.GetAnimation();
    const std::size_t first = std::size_t(animation.IndexOf(animation.FindFrameByUid(chosen.front())));
    if (const Status deleted = DeleteFrames(v.Document(), chosen); !deleted) return Tell(v, deleted);
    // The frame now where the first deleted one was (or the last).
    v.ShowFrame(animation.Frames()[std::min(first, animation.FrameCount() - 1)].get());
    v.Host().RedrawAll();
}

void Delete(EditorView& v) {
    if (const std::vector<ObjectUid> chosen = v.ChosenFrames(); chosen.size() > 1) return DeleteChosen(v, chosen);
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

void Master(EditorView& v) { Tell(v, SetFramesMaster(v.Document(), v.ChosenFrames(), !v.CurrentFrame()->isMaster)); }

void Reverse(EditorView& v) { Tell(v, ReverseFrames(v.Document(), v.ChosenFrames())); }

void Speed(EditorView& v) {
    if (const auto percent = Dialogs(v).SpeedPercent()) Tell(v, ChangeFramesSpeed(v.Document(), ChosenOrAll(v), *percent));
}

void DropRepeats(EditorView& v) { Tell(v, RemoveDuplicateFrames(v.Document(), ChosenOrAll(v))); }

void ReverseRule(const EditorView& v, CommandUi& ui) { ui.enabled = v.ChosenFrames().size() > 1; }
void AnimatedRule(const EditorView& v, CommandUi& ui) { ui.enabled = v.GetAnimation().FrameCount() > 1; }

void Duration(EditorView& v) {
    if (const auto duration = Dialogs(v).FrameDuration(v.CurrentFrame()->duration))
        v.Execute(MakeFrameDurationCommand(CurrentUid(v), *duration));
}

void Loop(EditorView& v) {
    if (const auto count = Dialogs(v).LoopCount(v.GetAnimation().loopCount))
        v.Execute(std::make_unique<LoopCountCommand>("Loop Count", *count));
}

void AutoSize(EditorView& v) {
    v.Execute(std::make_unique<AutoFrameSizeCommand>("Auto Frame Size", CurrentUid(v)), v.RenderProgress());
}

void Setup(EditorView& v) {
    const Animation& animation = v.GetAnimation();
    if (const auto size = Dialogs(v).FrameSetup({animation.Width(), animation.Height()}))
        v.Execute(std::make_unique<CanvasSizeCommand>("Frame Setup", size->width, size->height), v.RenderProgress());
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
    // Without a GIF written yet, the document's name with .gif in its folder.
    const SavePathChooser ask = [&](const std::filesystem::path& lastWritten) {
        return Dialogs(v).AnimationPath(title,
                                        ProposedAnimationPath(lastWritten, v.Document().PathName(), v.Document().Title()));
    };
    const SaveOutcome outcome =
        SaveAnimationFile(animation, saveAs, ask, GifChooser(v, ExportImageIndexOf(animation, v.CurrentFrame())),
                          v.Host().Progress("Writing the animation..."));
    Report(v, outcome);
    if (outcome.kind == SaveOutcome::Kind::Saved) NoteAnimationWritten(v.Document(), outcome.path);
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
    {C::ReverseFrames, ReverseRule, Reverse},
    {C::ChangeSpeed, AnimatedRule, Speed},
    {C::RemoveDuplicateFrames, AnimatedRule, DropRepeats},
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
