#include "app/Autosaver.h"

#include <QStandardPaths>
#include <QString>
#include <ctime>

#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "document/DocumentSnapshot.h"

namespace vantrel {

namespace fs = std::filesystem;

Autosaver::Autosaver(fs::path folder, std::chrono::milliseconds interval, QObject* parent)
    : QObject(parent), session_(std::move(folder)) {
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, [this] { AutosaveNow(); });
    if (!session_.ok()) qWarning("autosave is off: %s", session_.reason().c_str());
}

Autosaver::~Autosaver() { WaitForWrites(); }

fs::path Autosaver::DefaultFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return fs::path(base.toStdString()) / "recovery";
}

void Autosaver::Track(const CQVDoc& doc) {
    if (docs_.contains(&doc)) return;
    Tracked& tracked = docs_[&doc];
    tracked.slot = session_.NewSlot();
    tracked.copiedSerial = doc.History().ChangeSerial();
    PublishOpenFiles();
}

void Autosaver::PublishOpenFiles() const {
    if (!session_.ok()) return;
    std::vector<std::string> paths;
    for (const auto& [doc, tracked] : docs_) {
        if (!doc->PathName().empty()) paths.push_back(doc->PathName().string());
    }
    if (const Status written = session_.WriteOpenList(paths); !written)
        qWarning("the list of open documents could not be written: %s", written.message().c_str());
}

void Autosaver::Forget(const CQVDoc* doc) {
    const auto found = docs_.find(doc);
    if (found == docs_.end()) return;
    Finish(found->second);
    session_.Remove(found->second.slot);
    docs_.erase(found);
    PublishOpenFiles();
}

Status Autosaver::Recover(const RecoveryEntry& entry, CQVDoc& doc) {
    const auto bytes = ReadFileBytes(entry.documentFile);
    Status loaded = bytes ? LoadDocumentBytes(doc, *bytes) : bytes.status();
    if (!loaded) {
        const fs::path moved = MoveAside(entry);
        return Status::Error(loaded.message() + "\nThe recovery copy was kept as " + moved.string() + ".");
    }
    if (FileChangedSinceCopy(entry.note)) {
        doc.SetTitle(fs::path(entry.note.originalPath).filename().string() + " (recovered)");
    } else if (!entry.note.originalPath.empty()) {
        const fs::path original(entry.note.originalPath);
        doc.SetPathName(original);
        doc.GetAnimation().isNative = HasDocumentExtension(original);
    } else {
        doc.SetTitle(entry.note.title);
    }
    doc.SetModifiedFlag(true);
    Tracked& tracked = docs_[&doc];
    tracked.slot = session_.Adopt(entry);
    tracked.copiedSerial = doc.History().ChangeSerial();
    tracked.hasFiles = true;
    PublishOpenFiles();
    return Status::Ok();
}

void Autosaver::Finish(Tracked& tracked) {
    if (!tracked.writing.valid()) return;
    const Status written = tracked.writing.get();
    if (!written) qWarning("autosave failed: %s", written.message().c_str());
}

int Autosaver::AutosaveNow() {
    if (!session_.ok()) return 0;
    int started = 0;
    for (auto& [doc, tracked] : docs_) {
        if (tracked.writing.valid()) {
            if (tracked.writing.wait_for(std::chrono::seconds(0)) != std::future_status::ready) continue;
            Finish(tracked);
        }
        const std::uint64_t serial = doc->History().ChangeSerial();
        if (!doc->IsModified()) {
            DropCopy(*doc, tracked);
            continue;
        }
        if (serial == tracked.copiedSerial && tracked.hasFiles) continue;
        // Here only the items are cloned (sharing their pixels); the bytes
        // are made and written on the worker thread.
        auto snapshot = SnapshotDocument(*doc);
        if (!snapshot) continue;
        RecoveryNote note{doc->PathName().string(), doc->Title(), static_cast<std::int64_t>(std::time(nullptr))};
        tracked.writing = std::async(std::launch::async, [session = &session_, slot = tracked.slot,
                                                          snapshot = std::move(*snapshot), note = std::move(note)] {
            const auto bytes = SnapshotBytes(snapshot);
            if (!bytes) return Status::Error("There is not enough memory for the recovery copy.");
            return session->Write(slot, *bytes, note);
        });
        tracked.copiedSerial = serial;
        tracked.hasFiles = true;
        ++started;
    }
    return started;
}

void Autosaver::DropCopy(const CQVDoc& doc, Tracked& tracked) {
    // The document equals its file: a copy would only be older.
    if (tracked.hasFiles) session_.Remove(tracked.slot);
    tracked.hasFiles = false;
    tracked.copiedSerial = doc.History().ChangeSerial();
}

void Autosaver::Saved(const CQVDoc* doc) {
    const auto found = docs_.find(doc);
    if (found == docs_.end()) return;
    Finish(found->second);
    if (!doc->IsModified()) DropCopy(*doc, found->second);
    PublishOpenFiles();  // saved under a new name, perhaps
}

void Autosaver::WaitForWrites() {
    for (auto& [doc, tracked] : docs_) Finish(tracked);
}

fs::path Autosaver::CopyOf(const CQVDoc& doc) const {
    const auto found = docs_.find(&doc);
    return found != docs_.end() ? session_.DocumentFile(found->second.slot) : fs::path();
}

}  // namespace vantrel
