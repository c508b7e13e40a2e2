#pragma once
// Autosave: copies every document with changes not yet copied into the
// recovery folder at most once per interval (60 s), so that a crash loses
// little. The document is serialised into memory on the user-interface
// thread (pixel rows are copied, which is quick) and the bytes are written on
// a worker thread, so the editor never pauses visibly; a document whose
// previous copy is still being written is skipped until the next round.
// The files themselves are managed by RecoverySession.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <future>
#include <unordered_map>
#include <vector>

#include "app/RecoveryFiles.h"

namespace vantrel {

class CQVDoc;

inline constexpr std::chrono::seconds kAutosaveInterval{60};

class Autosaver final : public QObject {
    Q_OBJECT

public:
    // Copies go to folder; rounds run every interval once Start is called.
    explicit Autosaver(std::filesystem::path folder, std::chrono::milliseconds interval = kAutosaveInterval,
                       QObject* parent = nullptr);
    ~Autosaver() override;

    // QStandardPaths::AppLocalDataLocation + "/recovery".
    static std::filesystem::path DefaultFolder();

    bool ok() const { return session_.ok(); }
    // Why autosave could not start (empty when it runs).
    const std::string& reason() const { return session_.reason(); }
    void Start() { timer_.start(); }

    // Documents to watch. The document must stay alive until Forget.
    void Track(const CQVDoc& doc);
    // Forgets a document that closed cleanly (saved, or changes discarded):
    // waits for its copy being written and removes its files.
    void Forget(const CQVDoc* doc);

    // The document was just saved: its copy, older than the file now, goes
    // at once (waiting for a copy being written), so that no later start
    // offers it over the newer file.
    void Saved(const CQVDoc* doc);

    // Copies left by editors that are no longer running; those whose note
    // cannot be read are moved aside and their new places listed in movedAside.
    std::vector<RecoveryEntry> Orphans(std::vector<std::filesystem::path>* movedAside = nullptr) const {
        return FindOrphanedCopies(session_.Folder(), movedAside);
    }
    // Opens an orphaned copy into doc (which is then tracked): modified, with
    // the original path and title, its files taken over by this session. A
    // copy whose file changed on disk since it was made opens without a
    // path, titled "NAME (recovered)", so that saving it asks where. A copy
    // that cannot be read is moved aside and the message says where to.
    Status Recover(const RecoveryEntry& entry, CQVDoc& doc);
    void Discard(const RecoveryEntry& entry) { DiscardCopy(entry); }

    // One round now; returns how many copies were started.
    int AutosaveNow();
    // The process ids of other running editors that have the file at path
    // open (each editor lists the files of its tracked documents).
    std::vector<std::string> OtherEditorsWith(const std::filesystem::path& path) const {
        return EditorsWithOpen(session_.Folder(), path, session_.Process());
    }
    // Waits until every copy started has been written.
    void WaitForWrites();

    // The files of a tracked document (for tests and messages).
    std::filesystem::path CopyOf(const CQVDoc& doc) const;

private:
    struct Tracked {
        int slot = 0;
        std::uint64_t copiedSerial = 0;  // the history's serial when the last copy was taken
        bool hasFiles = false;
        std::future<Status> writing;
    };
    void Finish(Tracked& tracked);
    // Lists the files of the tracked documents for other editors to see.
    void PublishOpenFiles() const;
    // Removes the copy of a document that equals its file.
    void DropCopy(const CQVDoc& doc, Tracked& tracked);

    RecoverySession session_;
    QTimer timer_;
    std::unordered_map<const CQVDoc*, Tracked> docs_;
};

}  // namespace vantrel
