// Every writer of the program, failed at each of its system steps in turn:
// the old file must stay byte for byte, no temporary file may remain, and
// the reason must name the system's error.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "DocTestUtil.h"
#include "core/FileIO.h"
#include "document/DocumentFile.h"
#include "document/Export.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::size_t EntriesIn(const fs::path& dir) {
    return std::size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// A document of two frames with an item each, so that each writer has real
// work (several writes for the document, a palette and images for GIFs).
void FillDocument(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    animation.SetSize(64, 48);
    animation.FirstFrame()->AppendItem(test::SolidItem({500, 500, 540, 530}, 0x00FF0000));
    animation.AppendFrame()->AppendItem(test::SolidItem({520, 510, 560, 540}, 0x000000FF));
    animation.RenderAll();
}

struct Writer {
    const char* name;
    const char* fileName;
    // Writes the document's content to path; the status says why it failed.
    std::function<Status(CQVDoc&, const fs::path&)> write;
};

const Writer kWriters[] = {
    {"document", "doc.qvd", [](CQVDoc& doc, const fs::path& p) { return SaveDocument(doc, p); }},
    {"animated GIF", "anim.gif",
     [](CQVDoc& doc, const fs::path& p) {
         return GifExportJob::OfAnimation(doc.GetAnimation()).Save(p, DefaultGifOptionsChooser()).status;
     }},
    {"frame GIF", "frame.gif",
     [](CQVDoc& doc, const fs::path& p) {
         return GifExportJob::OfFrame(*doc.GetAnimation().FirstFrame()).Save(p, DefaultGifOptionsChooser()).status;
     }},
    {"frame JPEG", "frame.jpg",
     [](CQVDoc& doc, const fs::path& p) { return ExportFrameAsJpeg(*doc.GetAnimation().FirstFrame(), p, 7); }},
};

// The errors a failing step reports in turn: a failing device, a full disk,
// a folder that became read-only or forbidden.
constexpr int kErrors[] = {EIO, ENOSPC, EROFS, EACCES};

TEST(SaveFailure, EveryFailedStepKeepsTheOldFileAndLeavesNoTemporaryFile) {
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.name);
        CQVDoc doc;
        FillDocument(doc);

        // How many steps a successful save takes (and that it succeeds).
        int steps = 0;
        {
            const fs::path dir = test::ScratchDir("save-failure-count");
            ScopedFileFault counter(0, 0);
            ASSERT_TRUE(writer.write(doc, dir / writer.fileName).ok());
            steps = counter.Steps();
        }
        // Open, at least one write, sync, close, rename.
        ASSERT_GE(steps, 5);

        const fs::path dir = test::ScratchDir("save-failure");
        const fs::path target = dir / writer.fileName;
        const std::string old = std::string("the previous file of ") + writer.name;
        { std::ofstream(target, std::ios::binary) << old; }
        for (int n = 1; n <= steps; ++n) {
            SCOPED_TRACE("failing step " + std::to_string(n));
            const int error = kErrors[std::size_t(n) % std::size(kErrors)];
            Status status;
            {
                ScopedFileFault fault(n, error);
                status = writer.write(doc, target);
                EXPECT_TRUE(fault.Fired());
            }
            EXPECT_FALSE(status.ok());
            EXPECT_NE(status.message().find(std::strerror(error)), std::string::npos) << status.message();
            EXPECT_EQ(test::FileText(target), old);
            EXPECT_EQ(EntriesIn(dir), 1u);
        }
        // Past the last step nothing fails and the file is replaced.
        {
            ScopedFileFault fault(steps + 1, EIO);
            ASSERT_TRUE(writer.write(doc, target).ok());
            EXPECT_FALSE(fault.Fired());
        }
        EXPECT_NE(test::FileText(target), old);
        EXPECT_EQ(EntriesIn(dir), 1u);
    }
}

TEST(SaveFailure, ATargetThatIsAFolderIsRefusedAndKept) {
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.name);
        CQVDoc doc;
        FillDocument(doc);
        const fs::path dir = test::ScratchDir("save-failure-folder");
        const fs::path target = dir / writer.fileName;
        fs::create_directory(target);
        const Status status = writer.write(doc, target);
        EXPECT_FALSE(status.ok());
        EXPECT_FALSE(status.message().empty());
        EXPECT_TRUE(fs::is_directory(target));
        EXPECT_EQ(EntriesIn(dir), 1u);
    }
}

}  // namespace
}  // namespace vantrel
