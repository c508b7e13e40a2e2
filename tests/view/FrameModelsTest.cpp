// The Qt-free models behind the frame commands, the Frame List and
// Background bars, the preview player and the save dialogs.

#include <gtest/gtest.h>

#include <fstream>

#include "core/FileIO.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BitmapItem.h"
#include "support/TestPaths.h"
#include "ViewTestUtil.h"
#include "view/EditorView.h"
#include "view/FieldChecks.h"
#include "view/FrameList.h"
#include "view/FrameRules.h"
#include "view/PreviewPlayer.h"
#include "view/SaveAnimation.h"
#include "view/SaveOptions.h"

namespace vantrel {
namespace {

using C = CommandId;

// An animation whose frames are spelled by kinds: 'N' normal, 'M' master.
std::unique_ptr<Animation> Frames(std::string_view kinds) {
    auto a = std::make_unique<Animation>();
    for (std::size_t i = 1; i < kinds.size(); ++i) a->AppendFrame();
    for (std::size_t i = 0; i < kinds.size(); ++i) a->Frames()[i]->isMaster = kinds[i] == 'M';
    return a;
}

// A document whose frames are spelled the same way.
std::unique_ptr<CQVDoc> DocOf(std::string_view kinds) {
    std::vector<bool> masters;
    for (const char kind : kinds) masters.push_back(kind == 'M');
    return test::DocWithFrames(int(kinds.size()), masters);
}

std::vector<std::string> Texts(const std::vector<FrameEntry>& entries) {
    std::vector<std::string> texts;
    for (const FrameEntry& e : entries) texts.push_back(e.text);
    return texts;
}

TEST(FrameList, EachKindIsCountedApartInListOrder) {
    auto a = Frames("NMNN");
    EXPECT_EQ(Texts(FrameEntries(*a)), (std::vector<std::string>{"Frame 1", "Master Frame (1)", "Frame 2", "Frame 3"}));
    EXPECT_EQ(FrameName(*a, *a->Frames()[3]), "Frame 3");
    auto masters = Frames("MNM");
    EXPECT_EQ(Texts(FrameEntries(*masters)),
              (std::vector<std::string>{"Master Frame (1)", "Frame 1", "Master Frame (2)"}));
}

TEST(FrameList, BackgroundChoicesAreSolidThenEveryEarlierFrame) {
    auto a = Frames("NMN");
    AnimFrame& third = *a->Frames()[2];
    BackgroundChoices choices = BackgroundChoicesFor(*a, third);
    EXPECT_EQ(Texts(choices.entries), (std::vector<std::string>{"Solid", "Frame 1", "Master Frame (1)"}));
    EXPECT_EQ(choices.selected, 0);
    EXPECT_EQ(choices.entries[0].frame, 0u);
    third.SetBackgroundFrame(a->Frames()[1].get());
    choices = BackgroundChoicesFor(*a, third);
    EXPECT_EQ(choices.selected, 2);
    EXPECT_EQ(choices.entries[2].frame, a->Frames()[1]->Uid());
    EXPECT_EQ(Texts(BackgroundChoicesFor(*a, *a->FirstFrame()).entries), (std::vector<std::string>{"Solid"}));
}

TEST(FrameList, TheDurationBoxShowsSecondsAndRefusesWhatIsNoDuration) {
    EXPECT_EQ(SecondsText(100), "1");
    EXPECT_EQ(SecondsText(25), "0.25");
    EXPECT_EQ(SecondsText(650), "6.5");
    EXPECT_EQ(SecondsText(29), "0.29");
    const struct {
        const char* text;
        std::optional<std::uint32_t> hundredths;
    } table[] = {
        {"2.5", 250u}, {"0.075", 7u}, {" 0.29 ", 29u}, {"0", 0u}, {"655.35", 65535u},
        {"1e30", std::nullopt}, {"inf", std::nullopt}, {"-1", std::nullopt}, {"abc", std::nullopt},
        {"", std::nullopt}, {"1.5s", std::nullopt}, {"nan", std::nullopt}, {"655.36", std::nullopt},
    };
    for (const auto& row : table) {
        const FieldCheck<std::uint32_t> parsed = ParseDurationText(row.text);
        EXPECT_EQ(parsed.value, row.hundredths) << row.text;
        EXPECT_EQ(parsed.message.empty(), row.hundredths.has_value()) << row.text;
    }
    EXPECT_EQ(ParseDurationText("-1").message, "Please enter a number between 0 and 655.35.");
    EXPECT_EQ(ParseDurationText("abc").message, "Please enter a number.");
}

TEST(FieldChecks, WholeNumbersAndTheirMessages) {
    EXPECT_EQ(CheckUnsignedField("0", 1, 1200).message, "Please enter an integer between 1 and 1200.");
    EXPECT_EQ(CheckUnsignedField("1200", 1, 1200).value, 1200);
    EXPECT_EQ(CheckUnsignedField("-3", 0, 10).message, "Please enter a positive integer.");
    EXPECT_EQ(CheckUnsignedField("12x", 0, 10).message, "Please enter a positive integer.");
    EXPECT_EQ(CheckUnsignedField("99999999999999999999999", 0, 65535).message, "Please enter a positive integer.");
    EXPECT_EQ(CheckIntegerField("-60", -1200, 1200).value, -60);
    EXPECT_EQ(CheckIntegerField("x", -1, 1).message, "Please enter an integer.");
    EXPECT_EQ(CheckDecimalField("0", 0.01, 650).message, "Please enter a number between 0.01 and 650.");
    EXPECT_EQ(CheckDecimalField("700", 0, 655).message, "Please enter a number between 0 and 655.");
}

// ---- enable rules ----

struct RuleRow {
    const char* kinds;
    std::size_t current;
    CommandId id;
    bool enabled;
    bool checked;
};

TEST(FrameRules, EnableRulesForNormalMasterAndMixedLists) {
    const RuleRow table[] = {
        // A (master), B, C: Delete on B is allowed; with only A (master) and B it is not.
        {"MNN", 1, C::DeleteFrame, true, false},
        {"MN", 1, C::DeleteFrame, false, false},
        {"MN", 1, C::MasterFrame, false, false},
        {"MN", 0, C::MasterFrame, true, true},
        {"MN", 0, C::DeleteFrame, true, false},
        {"N", 0, C::DeleteFrame, false, false},
        {"N", 0, C::MasterFrame, false, false},
        {"NN", 0, C::MasterFrame, true, false},
        {"NN", 1, C::DeleteFrame, true, false},
        // Navigation at the ends.
        {"NNN", 0, C::FirstFrame, false, false},
        {"NNN", 0, C::PreviousFrame, false, false},
        {"NNN", 0, C::NextFrame, true, false},
        {"NNN", 2, C::NextFrame, false, false},
        {"NNN", 2, C::LastFrame, false, false},
        {"NNN", 2, C::PreviousFrame, true, false},
        // Duration with more than one frame; loop count with more than one normal frame.
        {"N", 0, C::FrameDuration, false, false},
        {"MN", 1, C::FrameDuration, true, false},
        {"MN", 1, C::LoopCount, false, false},
        {"NMN", 1, C::LoopCount, true, false},
        // A frame without items cannot be fitted.
        {"N", 0, C::AutoFrameSize, false, false},
        {"N", 0, C::DuplicateFrame, true, false},
        {"N", 0, C::InsertFrameBefore, true, false},
        {"M", 0, C::PreviewAnimation, true, false},
    };
    // Through the editor view's routes, as the menus ask.
    for (const RuleRow& row : table) {
        auto doc = DocOf(row.kinds);
        test::RecordingHost host;
        EditorView view(*doc, host);
        view.ShowFrame(doc->GetAnimation().Frames()[row.current].get());
        CommandUi ui;
        ASSERT_TRUE(view.UpdateCommand(row.id, ui)) << int(row.id);
        EXPECT_EQ(ui.enabled, row.enabled) << row.kinds << " frame " << row.current << " id " << int(row.id);
        EXPECT_EQ(ui.checked, row.checked) << row.kinds << " frame " << row.current << " id " << int(row.id);
    }
}

TEST(FrameRules, EveryFrameCommandHasARuleAndOthersHaveNone) {
    auto a = Frames("NN");
    for (const CommandId id : kFrameCommandIds) EXPECT_TRUE(FrameCommandState(id, *a, a->FirstFrame())) << int(id);
    EXPECT_FALSE(FrameCommandState(C::EditCopy, *a, a->FirstFrame()));
    // With no frame shown only the whole-animation commands stay.
    EXPECT_FALSE(FrameCommandState(C::DeleteFrame, *a, nullptr)->enabled);
    EXPECT_TRUE(FrameCommandState(C::InsertFrameAtEnd, *a, nullptr)->enabled);
}

TEST(FrameRules, SaveTextsNameTheAnimationOnlyWhenMoreThanOneFrameIsWritten) {
    const struct {
        const char* kinds;
        std::string saveAs;
        std::string save;
    } table[] = {
        {"NN", "Save Animation As...", "Sav&e Animation\tCtrl+E"},
        {"NM", "Save Image As...", "Save Image\tCtrl+E"},
        {"N", "Save Image As...", "Save Image\tCtrl+E"},
        {"MNMN", "Save Animation As...", "Sav&e Animation\tCtrl+E"},
    };
    for (const auto& row : table) {
        auto a = Frames(row.kinds);
        EXPECT_EQ(FrameCommandState(C::SaveAnimationAs, *a, a->FirstFrame())->text, row.saveAs) << row.kinds;
        EXPECT_EQ(FrameCommandState(C::SaveAnimation, *a, a->FirstFrame())->text, row.save) << row.kinds;
    }
}

// ---- preview player ----

// The indices shown at each tick until the playing ends (at most limit ticks).
std::vector<std::size_t> Play(PreviewPlayer& player, int limit) {
    std::vector<std::size_t> shown{player.CurrentIndex()};
    for (int i = 0; i < limit && player.Advance(); ++i) shown.push_back(player.CurrentIndex());
    return shown;
}

TEST(PreviewPlayer, LoopCountsPlayTheListThatManyTimesAndZeroWithoutEnd) {
    std::vector<PreviewEntry> entries(3);
    PreviewPlayer once(entries, 10, 10, 1);
    EXPECT_EQ(Play(once, 100), (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_TRUE(once.Finished());
    EXPECT_FALSE(once.Period());  // no timer any more
    EXPECT_EQ(once.CurrentIndex(), 0u);  // a repaint shows the first frame

    PreviewPlayer thrice(entries, 10, 10, 3);
    EXPECT_EQ(Play(thrice, 100).size(), 9u);
    EXPECT_EQ(thrice.Passes(), 3);

    PreviewPlayer endless(entries, 10, 10, 0);
    EXPECT_EQ(Play(endless, 1000).size(), 1001u);
    EXPECT_FALSE(endless.Finished());
}

TEST(PreviewPlayer, DelaysArePlayedAsBrowsersDo) {
    using std::chrono::milliseconds;
    EXPECT_EQ(PlayedPeriod(0), milliseconds(100));
    EXPECT_EQ(PlayedPeriod(1), milliseconds(100));
    EXPECT_EQ(PlayedPeriod(5), milliseconds(50));
    EXPECT_EQ(PlayedPeriod(10), milliseconds(100));
    EXPECT_EQ(PlayedPeriod(0xFFFFFFFFu), milliseconds(42949672950));  // no overflow

    PreviewPlayer player({{nullptr, 0}, {nullptr, 1}, {nullptr, 5}, {nullptr, 10}}, 1, 1, 0);
    std::vector<milliseconds> periods;
    for (int i = 0; i < 4; ++i, player.Advance()) periods.push_back(*player.Period());
    EXPECT_EQ(periods, (std::vector<milliseconds>{milliseconds(100), milliseconds(100), milliseconds(50), milliseconds(100)}));
}

TEST(PreviewPlayer, MastersAreSkippedAndAnAllMasterListHasNoTimer) {
    auto a = Frames("MNN");
    a->Frames()[1]->duration = 5;
    PreviewPlayer player = PreviewPlayer::FromAnimation(*a);
    ASSERT_EQ(player.Size(), 2u);
    EXPECT_EQ(player.Current()->image, &a->Frames()[1]->Image());
    EXPECT_EQ(player.Period(), std::chrono::milliseconds(50));

    auto masters = Frames("MM");
    PreviewPlayer empty = PreviewPlayer::FromAnimation(*masters);
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.Current(), nullptr);
    EXPECT_FALSE(empty.Period());
    EXPECT_EQ(empty.Advance(), nullptr);
}

TEST(PreviewPlayer, TheImageIsCentredAndMayStartOutsideASmallWindow) {
    PreviewPlayer player({{nullptr, 10}}, 468, 60, 0);
    EXPECT_EQ(player.ImageRect(500, 100), (Rect{16, 20, 484, 80}));
    EXPECT_EQ(player.ImageRect(100, 20), (Rect{-184, -20, 284, 40}));
}

// ---- save dialogs ----

TEST(SaveOptions, DialogDefaultsFollowTheColourCount) {
    const GifOptionsDialogState one = GifOptionsDialogStateFor({1, true});
    EXPECT_EQ(one.exactText, "Exact Palette (1 Color)");
    EXPECT_TRUE(one.exactEnabled);
    EXPECT_FALSE(one.reduceSelected);
    EXPECT_TRUE(one.choices.empty());
    EXPECT_FALSE(one.reduceEnabled);

    const GifOptionsDialogState exact256 = GifOptionsDialogStateFor({256, true});
    EXPECT_EQ(exact256.exactText, "Exact Palette (256 Colors)");
    EXPECT_TRUE(exact256.exactEnabled);
    EXPECT_FALSE(exact256.reduceSelected);  // exactly 256 colours keep them all
    ASSERT_FALSE(exact256.choices.empty());
    EXPECT_EQ(exact256.choices.front(), 128);

    const GifOptionsDialogState many = GifOptionsDialogStateFor({257, false});  // 300 colours count as 257
    EXPECT_FALSE(many.exactEnabled);
    EXPECT_EQ(many.exactText, "Use exact palette");
    EXPECT_TRUE(many.reduceSelected);
    EXPECT_EQ(many.choices.front(), 256);
    EXPECT_FALSE(many.sizeReductionEnabled);
    EXPECT_TRUE(many.sizeReductionChecked);
}

TEST(SaveAnimation, ExportNamesTakeTheFilterExtensionOnlyWhenTheyHaveNone) {
    EXPECT_EQ(FrameExportPath("pic", "jpg"), "pic.jpg");
    EXPECT_EQ(FrameExportPath("pic", "gif"), "pic.gif");
    EXPECT_EQ(FrameExportPath("pic.gif", "jpg"), "pic.gif");
    EXPECT_EQ(AnimationSavePath("/tmp/banner"), "/tmp/banner.gif");
    EXPECT_EQ(AnimationSavePath("/tmp/banner.GIF"), "/tmp/banner.GIF");
}

TEST(SaveAnimation, AsksOnceThenSavesSilentlyAndRemembersOnlyWhatWasWritten) {
    const std::filesystem::path dir = test::ScratchDir("save-animation");
    auto a = Frames("NN");
    int asked = 0;
    std::filesystem::path answer = dir / "missing-folder" / "x";
    const SavePathChooser ask = [&](const std::filesystem::path&) {
        ++asked;
        return std::optional(answer);
    };
    const GifOptionsChooser defaults = DefaultGifOptionsChooser();

    // A write that fails is not remembered.
    SaveOutcome failed = SaveAnimationFile(*a, false, ask, defaults);
    EXPECT_EQ(failed.kind, SaveOutcome::Kind::Failed);
    EXPECT_FALSE(a->hasAnimationFile);
    // Cancelling the options writes nothing and remembers nothing.
    answer = dir / "banner";
    SaveOutcome cancelled = SaveAnimationFile(*a, false, ask, [](const GifExportRequest&) { return std::nullopt; });
    EXPECT_EQ(cancelled.kind, SaveOutcome::Kind::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(dir / "banner.gif"));
    EXPECT_FALSE(a->hasAnimationFile);

    SaveOutcome saved = SaveAnimationFile(*a, false, ask, defaults);
    EXPECT_EQ(saved.kind, SaveOutcome::Kind::Saved);
    EXPECT_EQ(saved.path, dir / "banner.gif");
    EXPECT_TRUE(std::filesystem::exists(dir / "banner.gif"));
    EXPECT_TRUE(a->hasAnimationFile);
    EXPECT_EQ(a->animationExt, "gif");
    EXPECT_EQ(asked, 3);
    std::filesystem::remove(dir / "banner.gif");
    EXPECT_EQ(SaveAnimationFile(*a, false, ask, defaults).kind, SaveOutcome::Kind::Saved);
    EXPECT_EQ(asked, 3);  // silently, to the same file
    EXPECT_TRUE(std::filesystem::exists(dir / "banner.gif"));
    SaveAnimationFile(*a, true, ask, defaults);  // "Save Animation As" always asks
    EXPECT_EQ(asked, 4);
}

TEST(SaveAnimation, ExportFrameWritesByTheFinalExtension) {
    const std::filesystem::path dir = test::ScratchDir("export-frame");
    auto a = Frames("N");
    int qualityAsked = 0;
    const JpegQualityChooser quality = [&] {
        ++qualityAsked;
        return std::optional(7);
    };
    const auto exportAs = [&](const char* name, const char* filter) {
        return ExportFrameFile(*a, *a->FirstFrame(),
                               [&](const std::filesystem::path&) { return std::optional(FrameExportChoice{dir / name, filter}); },
                               DefaultGifOptionsChooser(), quality);
    };
    EXPECT_EQ(exportAs("pic", "jpg").path, dir / "pic.jpg");
    EXPECT_EQ(qualityAsked, 1);
    const auto header = [](const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::string bytes(3, '\0');
        in.read(bytes.data(), 3);
        return bytes;
    };
    EXPECT_EQ(header(dir / "pic.jpg").substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(exportAs("pic.gif", "jpg").kind, SaveOutcome::Kind::Saved);
    EXPECT_EQ(header(dir / "pic.gif"), "GIF");
    EXPECT_EQ(qualityAsked, 1);
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

TEST(PreviewPlayerControls, PauseStepAndJumpStayOnTheFrameShown) {
    PreviewPlayer player({{nullptr, 10}, {nullptr, 0}, {nullptr, 25}, {nullptr, 40}}, 1, 1, 0);
    ASSERT_TRUE(player.IsPlaying());
    player.TogglePlaying();
    EXPECT_FALSE(player.Period());  // paused: no timer
    player.StepForward();
    player.StepForward();
    EXPECT_EQ(player.CurrentIndex(), 2u);
    // 10 and 0 (played as 10) hundredths before it.
    EXPECT_EQ(player.TimeAtCurrent(), std::chrono::milliseconds(200));
    EXPECT_EQ(player.PositionText(), "Frame 3 of 4   0.20 s");
    player.GoToLast();
    EXPECT_EQ(player.CurrentIndex(), 3u);
    player.StepForward();  // around the end
    EXPECT_EQ(player.CurrentIndex(), 0u);
    player.StepBack();  // and back around
    EXPECT_EQ(player.CurrentIndex(), 3u);
    player.GoToFirst();
    EXPECT_EQ(player.CurrentIndex(), 0u);
    EXPECT_FALSE(player.IsPlaying());
    player.TogglePlaying();
    EXPECT_EQ(player.Period(), std::chrono::milliseconds(100));
}

TEST(PreviewPlayerControls, SpeedScalesTheBrowserTimingAndLoopOffPlaysOnce) {
    PreviewPlayer player({{nullptr, 1}, {nullptr, 30}}, 1, 1, 0);
    const std::pair<int, long> speeds[] = {{50, 200}, {100, 100}, {200, 50}, {1000, 25}, {0, 400}};
    for (const auto& [percent, period] : speeds) {
        player.SetSpeedPercent(percent);
        EXPECT_EQ(player.Period(), std::chrono::milliseconds(period)) << percent;  // 1 hundredth plays as 10
    }
    player.SetSpeedPercent(100);
    player.SetLooping(false);
    EXPECT_EQ(Play(player, 100), (std::vector<std::size_t>{0, 1}));
    EXPECT_TRUE(player.Finished());
    // Playing again after the end starts over.
    player.TogglePlaying();  // pauses
    player.TogglePlaying();  // plays
    EXPECT_FALSE(player.Finished());
    EXPECT_TRUE(player.Period());
    player.SetLooping(true);
    EXPECT_EQ(Play(player, 10).size(), 11u);  // loop count 0: without end
}

TEST(PreviewPlayerControls, LargePicturesAreScaledDownToTheBoxNeverUp) {
    EXPECT_DOUBLE_EQ(PreviewPlayer::FitScale(1200, 1200, 900, 810), 0.675);
    EXPECT_DOUBLE_EQ(PreviewPlayer::FitScale(300, 100, 900, 810), 1.0);
    EXPECT_DOUBLE_EQ(PreviewPlayer::FitScale(1800, 100, 900, 810), 0.5);
    EXPECT_DOUBLE_EQ(PreviewPlayer::FitScale(0, 0, 900, 810), 1.0);
}

}  // namespace
}  // namespace vantrel
