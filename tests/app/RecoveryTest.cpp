// Autosave and crash recovery: the recovery note and lock files (no Qt), the
// autosave rounds, and a real crash: an editor process killed after an
// autosave, a new editor that recovers the document and saves it.

#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "AppTestUtil.h"
#include "app/AnimatorApp.h"
#include "app/Autosaver.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/RecoveryFiles.h"
#include "app/SplashWnd.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "edit/ItemCommands.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::string BytesOf(const CQVDoc& doc) {
    const auto bytes = DocumentBytes(doc);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// A path no note format would survive by accident.
const char* const kAwkwardPath = "/home/ana/my banners/Grüße – 日本\\back\nline.qvd";

// Adds a box to the first frame through the history, as drawing does.
void DrawBox(CQVDoc& doc, const Rect& bounds) {
    auto box = std::make_unique<BoxItem>();
    box->SetBounds(bounds);
    ASSERT_TRUE(doc.Execute(
        std::make_unique<AddItemCommand>("Draw Rectangle", doc.GetAnimation().FirstFrame()->Uid(), std::move(box))));
}

// Runs body in a child process that ends without any clean-up, as a crash does.
template <typename Body>
void InADyingProcess(Body body) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
}

// ---- the note and the lock files ----

TEST(RecoveryFiles, TheNoteKeepsAnyPathAndTitle) {
    const RecoveryNote note{kAwkwardPath, "Grüße – 日本 (copy).qvd", 1765180800};
    const std::string text = FormatRecoveryNote(note);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);  // one line per field
    EXPECT_EQ(ParseRecoveryNote(text), note);
    EXPECT_EQ(ParseRecoveryNote(FormatRecoveryNote({"", "Untitled-1", 0})), (RecoveryNote{"", "Untitled-1", 0}));

    const char* const damaged[] = {
        "",
        "vantrel-recovery 1\npath=/a\ntitle=t\n",                     // no time
        "vantrel-recovery 2\npath=/a\ntitle=t\nsaved=1\n",            // unknown version
        "vantrel-recovery 1\npath=/a\\q\ntitle=t\nsaved=1\n",         // unknown escape
        "vantrel-recovery 1\npath=/a\ntitle=t\nsaved=12x\n",          // not a number
        "vantrel-recovery 1\npath=/a\\\ntitle=t\nsaved=1\n",          // escape cut at the line end
    };
    for (const char* text : damaged) EXPECT_FALSE(ParseRecoveryNote(text).has_value()) << text;
}

TEST(RecoveryFiles, TheLockTellsARunningProcessFromADeadOne) {
    const fs::path folder = test::ScratchDir("recovery-lock");
    const std::vector<std::uint8_t> copy{1, 2, 3};
    const RecoveryNote note{kAwkwardPath, "banner.qvd", 100};
    {
        RecoverySession alive(folder);
        ASSERT_TRUE(alive.ok()) << alive.reason();
        const int slot = alive.NewSlot();
        ASSERT_TRUE(alive.Write(slot, copy, note).ok());
        EXPECT_TRUE(LockFileIsHeld(folder / (std::to_string(getpid()) + ".lock")));
        // The copies of a running editor are not offered.
        EXPECT_TRUE(FindOrphanedCopies(folder).empty());
    }
    // A clean end leaves nothing behind.
    EXPECT_TRUE(fs::is_empty(folder));

    // An editor that dies leaves its lock file, no longer held, and its copy.
    InADyingProcess([&] {
        RecoverySession dying(folder);
        const int slot = dying.NewSlot();
        (void)dying.Write(slot, copy, note);
        // A second copy being written when the process dies.
        std::ofstream(folder / ("." + std::to_string(getpid()) + "-2.qvd.1234abcd.tmp")) << "half";
        std::fflush(nullptr);
        _exit(0);  // no destructor runs
    });
    const auto orphans = FindOrphanedCopies(folder);
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].note, note);
    EXPECT_EQ(test::FileText(orphans[0].documentFile), std::string("\1\2\3"));
    DiscardCopy(orphans[0]);
    EXPECT_TRUE(fs::is_empty(folder)) << "the copy, its note and the dead lock file are gone";
}

// What a dead editor leaves besides whole copies with notes: a copy whose
// note it never wrote is offered as a document never saved; a note that
// cannot be read is moved aside with its copy, listed once, never removed.
TEST(RecoveryFiles, CopiesWithoutANoteAreOfferedAndUnreadableOnesKeptAside) {
    const fs::path folder = test::ScratchDir("recovery-damaged");
    InADyingProcess([&] {
        RecoverySession dying(folder);
        const std::vector<std::uint8_t> copy{4, 5, 6};
        (void)dying.Write(dying.NewSlot(), copy, {"/a/fine.qvd", "fine.qvd", 50});
        std::ofstream(dying.DocumentFile(dying.NewSlot())) << "copy without note";
        const int damaged = dying.NewSlot();
        std::ofstream(dying.DocumentFile(damaged)) << "copy with a broken note";
        std::ofstream(dying.NoteFile(damaged)) << "vantrel-recovery 1\npath=/a\\q\n";
        std::fflush(nullptr);
        _exit(0);
    });
    std::vector<fs::path> movedAside;
    const auto orphans = FindOrphanedCopies(folder, &movedAside);
    ASSERT_EQ(orphans.size(), 2u);
    std::vector<std::string> titles;
    for (const auto& entry : orphans) titles.push_back(entry.note.title);
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"Recovered document", "fine.qvd"}));
    for (const auto& entry : orphans) {
        if (entry.note.title == "Recovered document") {
            EXPECT_EQ(test::FileText(entry.documentFile), "copy without note");
            EXPECT_EQ(entry.note.originalPath, "");
            EXPECT_GT(entry.note.savedAt, 1'600'000'000);
        }
    }
    ASSERT_EQ(movedAside.size(), 1u);
    EXPECT_EQ(movedAside[0].parent_path(), folder / "damaged");
    EXPECT_EQ(test::FileText(movedAside[0]), "copy with a broken note");
    // Listed once: the next start finds it no more, and it is still there.
    std::vector<fs::path> again;
    EXPECT_EQ(FindOrphanedCopies(folder, &again).size(), 2u);
    EXPECT_TRUE(again.empty());
    EXPECT_TRUE(fs::exists(movedAside[0]));
}

TEST(RecoveryFiles, AFileWrittenAfterItsCopyIsToldApart) {
    const fs::path dir = test::ScratchDir("recovery-changed");
    const fs::path file = dir / "banner.qvd";
    std::ofstream(file) << "saved later";
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::file_clock::to_sys(fs::last_write_time(file)).time_since_epoch())
                         .count();
    EXPECT_TRUE(FileChangedSinceCopy({file.string(), "banner.qvd", now - 100}));
    EXPECT_FALSE(FileChangedSinceCopy({file.string(), "banner.qvd", now}));
    EXPECT_FALSE(FileChangedSinceCopy({file.string(), "banner.qvd", now + 100}));
    EXPECT_FALSE(FileChangedSinceCopy({(dir / "gone.qvd").string(), "gone.qvd", 0}));
    EXPECT_FALSE(FileChangedSinceCopy({"", "Untitled-1", 0}));
}

// A copy older than its file opens beside it, without a path; a copy that
// cannot be read is kept aside and the message says where.
TEST(Autosave, RecoveringNeverPutsACopyOverANewerFile) {
    const fs::path folder = test::ScratchDir("autosave-recover-beside");
    const fs::path dir = test::ScratchDir("autosave-recover-beside-docs");
    const fs::path file = dir / "banner.qvd";
    CQVDoc original;
    DrawBox(original, {600, 600, 640, 620});
    const std::string copyBytes = BytesOf(original);
    std::ofstream(file) << "a newer file written by someone else";
    InADyingProcess([&] {
        RecoverySession dying(folder);
        const std::vector<std::uint8_t> bytes(copyBytes.begin(), copyBytes.end());
        (void)dying.Write(dying.NewSlot(), bytes, {file.string(), "banner.qvd", 1000});
        const std::vector<std::uint8_t> garbage{'n', 'o', 't', ' ', 'a', ' ', 'q', 'v', 'd'};
        (void)dying.Write(dying.NewSlot(), garbage, {"", "Untitled-2", 1001});
        std::fflush(nullptr);
        _exit(0);
    });
    Autosaver autosaver(folder);
    ASSERT_TRUE(autosaver.ok());
    const auto orphans = autosaver.Orphans();
    ASSERT_EQ(orphans.size(), 2u);

    CQVDoc recovered;
    ASSERT_TRUE(autosaver.Recover(orphans[0], recovered).ok());
    EXPECT_TRUE(recovered.PathName().empty());
    EXPECT_EQ(recovered.Title(), "banner.qvd (recovered)");
    EXPECT_TRUE(recovered.IsModified());
    EXPECT_EQ(BytesOf(recovered), copyBytes);
    EXPECT_EQ(test::FileText(file), "a newer file written by someone else");

    CQVDoc unreadable;
    const Status status = autosaver.Recover(orphans[1], unreadable);
    ASSERT_FALSE(status.ok());
    const fs::path kept = folder / "damaged" / orphans[1].documentFile.filename();
    EXPECT_NE(status.message().find(kept.string()), std::string::npos) << status.message();
    EXPECT_EQ(test::FileText(kept), "not a qvd");
    autosaver.Forget(&recovered);
}

TEST(RecoveryFiles, TheOpenListKeepsAnyPath) {
    const std::vector<std::string> paths = {kAwkwardPath, "/a/b.qvd", ""};
    EXPECT_EQ(ParseOpenList(FormatOpenList(paths)), paths);
    EXPECT_EQ(ParseOpenList(FormatOpenList({})), std::vector<std::string>{});
    for (const char* text : {"", "vantrel-open 2\n", "vantrel-open 1\n/a\\q\n", "vantrel-open 1\n/cut"})
        EXPECT_FALSE(ParseOpenList(text).has_value()) << text;
}

// Another editor running with a file open is seen, through a link too;
// once it ends, it is not.
TEST(RecoveryFiles, AnotherRunningEditorWithTheFileOpenIsSeen) {
    const fs::path folder = test::ScratchDir("recovery-open-elsewhere");
    const fs::path docs = test::ScratchDir("recovery-open-elsewhere-docs");
    const fs::path file = docs / "banner.qvd";
    std::ofstream(file) << "x";
    fs::create_symlink(file, docs / "link.qvd");
    int ready[2];
    int finish[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(finish), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        RecoverySession other(folder);
        (void)other.WriteOpenList({file.string(), "/elsewhere/other.qvd"});
        char byte = 1;
        (void)!write(ready[1], &byte, 1);
        (void)!read(finish[0], &byte, 1);
        _exit(0);  // dies without cleaning up, as a crash does
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    const std::string other = std::to_string(pid);
    EXPECT_EQ(EditorsWithOpen(folder, file, "self"), std::vector<std::string>{other});
    EXPECT_EQ(EditorsWithOpen(folder, docs / "link.qvd", "self"), std::vector<std::string>{other});
    EXPECT_TRUE(EditorsWithOpen(folder, file, other).empty()) << "an editor does not see itself";
    EXPECT_TRUE(EditorsWithOpen(folder, docs / "unrelated.qvd", "self").empty());
    ASSERT_EQ(write(finish[1], &byte, 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(EditorsWithOpen(folder, file, "self").empty()) << "its list is stale once it ended";
    for (int fd : {ready[0], ready[1], finish[0], finish[1]}) close(fd);
}

// ---- autosave rounds ----

TEST(Autosave, CopiesOnlyNewChangesAndACleanCloseRemovesThem) {
    const fs::path folder = test::ScratchDir("autosave-rounds");
    Autosaver autosaver(folder);
    ASSERT_TRUE(autosaver.ok());
    CQVDoc doc;
    doc.SetPathName(kAwkwardPath);
    autosaver.Track(doc);
    const fs::path copy = autosaver.CopyOf(doc);

    EXPECT_EQ(autosaver.AutosaveNow(), 0) << "nothing changed";
    DrawBox(doc, {600, 600, 640, 620});
    EXPECT_EQ(autosaver.AutosaveNow(), 1);
    autosaver.WaitForWrites();
    EXPECT_EQ(test::FileText(copy), BytesOf(doc));
    EXPECT_EQ(autosaver.AutosaveNow(), 0) << "no change since the last copy";

    DrawBox(doc, {610, 600, 650, 630});
    EXPECT_EQ(autosaver.AutosaveNow(), 1);
    autosaver.WaitForWrites();
    CQVDoc reopened;
    ASSERT_TRUE(OpenDocument(reopened, copy).ok());
    EXPECT_EQ(BytesOf(reopened), BytesOf(doc));
    fs::path note = copy;
    note.replace_extension(".note");
    const auto parsed = ParseRecoveryNote(test::FileText(note));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->originalPath, kAwkwardPath);

    // Undone back to the saved state: the copy would only be older than the file.
    doc.History().Undo();
    doc.History().Undo();
    ASSERT_FALSE(doc.IsModified());
    EXPECT_EQ(autosaver.AutosaveNow(), 0);
    EXPECT_FALSE(fs::exists(copy));

    DrawBox(doc, {600, 600, 640, 620});
    EXPECT_EQ(autosaver.AutosaveNow(), 1);
    autosaver.Forget(&doc);  // closed with the changes discarded
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_FALSE(fs::exists(note));
}

// ---- a real crash ----

// The editor killed in RecoveryCrash below: opens the document named by
// VANTREL_RECOVERY_HELPER, draws a box, waits for the autosave, reports and
// waits to be killed. Skipped when run on its own.
TEST(RecoveryHelper, DrawAutosaveAndWaitToBeKilled) {
    const char* document = std::getenv("VANTREL_RECOVERY_HELPER");
    if (document == nullptr) GTEST_SKIP() << "runs only inside RecoveryCrash";
    test::ResetPrompts();
    CAnimatorApp app;
    ASSERT_EQ(app.InitInstance({QString::fromUtf8(document)}), -1);
    CQVDoc& doc = app.MainFrame()->ActiveChild()->Document();
    DrawBox(doc, {620, 610, 660, 640});
    ASSERT_EQ(app.AutosaveService()->AutosaveNow(), 1);
    app.AutosaveService()->WaitForWrites();
    std::printf("AUTOSAVED %d\n", int(getpid()));
    std::fflush(stdout);
    for (;;) QThread::sleep(1);
}

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Runs an editor on document in a process of its own (RecoveryHelper above)
// and kills it once it has drawn and autosaved.
void KillAnEditorAfterAnAutosave(const fs::path& document) {
    const ScopedEnv helperEnv("VANTREL_RECOVERY_HELPER", document.string());
    const std::string command = "exec '" + fs::read_symlink("/proc/self/exe").string() +
                                "' --gtest_filter=RecoveryHelper.DrawAutosaveAndWaitToBeKilled";
    FILE* child = popen(command.c_str(), "r");
    ASSERT_NE(child, nullptr);
    char line[512];
    int pid = 0;
    while (pid == 0 && std::fgets(line, sizeof line, child) != nullptr) std::sscanf(line, "AUTOSAVED %d", &pid);
    ASSERT_GT(pid, 0) << "the editor did not autosave";
    kill(pid, SIGKILL);
    const int status = pclose(child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
}

// A scratch folder with a home of its own (so that no other test sees or
// takes the recovery copies) and an empty document saved in it.
struct CrashScene {
    CrashScene(const char* name, const char* file)
        : dir(test::ScratchDir(name)), homeEnv("HOME", MakeHome(dir)), document(dir / file) {
        CQVDoc doc;
        EXPECT_TRUE(SaveDocument(doc, document).ok());
    }
    static std::string MakeHome(const fs::path& dir) {
        fs::create_directories(dir / "home");
        return (dir / "home").string();
    }
    const fs::path dir;
    const ScopedEnv homeEnv;
    const fs::path document;
};

TEST(RecoveryCrash, KilledAfterAnAutosaveRecoveredAndSaved) {
    const CrashScene scene("recovery-crash", "my banner ü.qvd");
    const fs::path& document = scene.document;
    const fs::path home = scene.dir / "home";
    const std::string before = test::FileText(document);

    // The first editor: draws, autosaves and is killed.
    KillAnEditorAfterAnAutosave(document);
    EXPECT_EQ(test::FileText(document), before) << "autosave never writes the document's own file";

    fs::path folder;
    // The second editor offers the document; Recover opens it modified with
    // its original path, and Save writes the drawing there.
    test::PromptLog& log = test::ResetPrompts();
    log.recoverAnswer = true;
    {
        CAnimatorApp app;
        ASSERT_EQ(app.InitInstance({}), -1);
        folder = Autosaver::DefaultFolder();
        EXPECT_TRUE(folder.string().starts_with(home.string())) << folder;
        ASSERT_EQ(log.recoveryOffers.size(), 1u);
        ASSERT_EQ(log.recoveryOffers[0].size(), 1);
        EXPECT_TRUE(log.recoveryOffers[0][0].startsWith(QString::fromStdString(document.string())));
        ASSERT_EQ(app.MainFrame()->Children().size(), 1) << "no new empty document beside the recovered one";
        CChildFrame& child = *app.MainFrame()->ActiveChild();
        EXPECT_EQ(child.Document().PathName(), document);
        EXPECT_TRUE(child.Document().IsModified());
        // The copy is now this editor's own, until the document is saved.
        const fs::path copy = app.AutosaveService()->CopyOf(child.Document());
        EXPECT_TRUE(fs::exists(copy));
        ASSERT_TRUE(app.MainFrame()->ExecuteCommand(CommandId::FileSave));
        EXPECT_FALSE(fs::exists(copy)) << "removed the moment the document is saved, not at the next round";
        EXPECT_TRUE(log.dialogs.empty()) << "saved to its own file without asking";
        EXPECT_FALSE(child.Document().IsModified());
        const std::string saved = test::FileText(document);
        EXPECT_NE(saved, before);
        EXPECT_EQ(saved, BytesOf(child.Document()));
        CQVDoc reopened;
        ASSERT_TRUE(OpenDocument(reopened, document).ok());
        ASSERT_EQ(reopened.GetAnimation().FirstFrame()->CountItems(), 1);
        EXPECT_EQ(reopened.GetAnimation().FirstFrame()->Bottom()->Bounds(), (Rect{620, 610, 660, 640}));
        app.MainFrame()->close();
        test::ProcessEvents();
    }
    // Nothing is offered again, and nothing is left in the recovery folder.
    log.recoveryOffers.clear();
    {
        CAnimatorApp app;
        ASSERT_EQ(app.InitInstance({}), -1);
        EXPECT_TRUE(log.recoveryOffers.empty());
        for (CChildFrame* child : app.MainFrame()->Children()) child->Document().SetModifiedFlag(false);
        app.MainFrame()->close();
        test::ProcessEvents();
    }
    EXPECT_TRUE(fs::is_empty(folder));
}

// Killed after an autosave, then another program writes the document's
// file: the next editor says so, opens the file as it is on disk, and the
// copy beside it without a path; the newer file is never replaced.
TEST(RecoveryCrash, AFileWrittenAfterTheCrashOpensWithTheCopyBesideIt) {
    const CrashScene scene("recovery-changed-on-disk", "banner.qvd");
    const fs::path& document = scene.document;
    KillAnEditorAfterAnAutosave(document);
    // Another program's newer version: two frames, no box.
    CQVDoc theirs;
    theirs.GetAnimation().AppendFrame();
    ASSERT_TRUE(SaveDocument(theirs, document).ok());
    fs::last_write_time(document, fs::last_write_time(document) + std::chrono::seconds(5));
    const std::string newer = test::FileText(document);

    test::PromptLog& log = test::ResetPrompts();
    log.recoverAnswer = true;
    CAnimatorApp app;
    ASSERT_EQ(app.InitInstance({}), -1);
    ASSERT_EQ(log.recoveryOffers.size(), 1u);
    ASSERT_EQ(log.recoveryOffers[0].size(), 1);
    EXPECT_TRUE(log.recoveryOffers[0][0].contains(QStringLiteral("changed on disk"))) << log.recoveryOffers[0][0].toStdString();
    ASSERT_EQ(app.MainFrame()->Children().size(), 2);
    const CQVDoc* onDisk = nullptr;
    const CQVDoc* recovered = nullptr;
    for (CChildFrame* child : app.MainFrame()->Children())
        (child->Document().PathName().empty() ? recovered : onDisk) = &child->Document();
    ASSERT_NE(onDisk, nullptr);
    ASSERT_NE(recovered, nullptr);
    EXPECT_EQ(onDisk->PathName(), document);
    EXPECT_EQ(onDisk->GetAnimation().FrameCount(), 2u);
    EXPECT_FALSE(onDisk->IsModified());
    EXPECT_EQ(recovered->Title(), "banner.qvd (recovered)");
    EXPECT_TRUE(recovered->IsModified());
    EXPECT_EQ(recovered->GetAnimation().FirstFrame()->CountItems(), 1) << "the drawing of the killed editor";
    EXPECT_EQ(test::FileText(document), newer);
    for (CChildFrame* child : app.MainFrame()->Children()) child->Document().SetModifiedFlag(false);
    app.MainFrame()->close();
    test::ProcessEvents();
}

// A file named on the command line that does not open never ends the editor
// while it holds recovered documents: their adopted copies stay.
TEST(RecoveryCrash, AFailedCommandLineOpenKeepsTheRecoveredDocuments) {
    const CrashScene scene("recovery-failed-open", "banner.qvd");
    const fs::path& dir = scene.dir;
    KillAnEditorAfterAnAutosave(scene.document);

    test::PromptLog& log = test::ResetPrompts();
    log.recoverAnswer = true;
    CAnimatorApp app;
    ASSERT_EQ(app.InitInstance({QString::fromStdString((dir / "missing.qvd").string())}), -1)
        << "the editor keeps running with the recovered document";
    ASSERT_EQ(app.MainFrame()->Children().size(), 1);
    CChildFrame& child = *app.MainFrame()->ActiveChild();
    const fs::path copy = app.AutosaveService()->CopyOf(child.Document());
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_EQ(child.Document().GetAnimation().FirstFrame()->CountItems(), 1);
    child.Document().SetModifiedFlag(false);
    app.MainFrame()->close();
    test::ProcessEvents();
}

}  // namespace
}  // namespace vantrel
