// Progress of long jobs: opening a GIF or a document file and writing the
// animation report how far they have come, steadily and up to their end,
// and a stop at any step leaves the document and the target file exactly
// as they were.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "DocTestUtil.h"
#include "document/AnimFrame.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "document/AnimationExport.h"
#include "document/Export.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// An animation of frames frames, each with an item of its own colour.
std::unique_ptr<CQVDoc> Striped(int frames) {
    auto doc = std::make_unique<CQVDoc>();
    Animation& animation = doc->GetAnimation();
    animation.SetSize(40, 20);
    for (int i = 0; i < frames; ++i) {
        AnimFrame& frame = i == 0 ? *animation.FirstFrame() : *animation.AppendFrame();
        const Rect c = frame.Canvas();
        frame.AppendItem(test::SolidItem({c.left + i, c.top, c.left + i + 8, c.top + 10},
                                         MakePixel(std::uint8_t(40 * i), 90, std::uint8_t(200 - 20 * i))));
        frame.duration = 10 + std::uint32_t(i);
    }
    animation.RenderAll();
    return doc;
}

// What a job reported, and a stop after a number of reports.
struct Recorder {
    std::vector<std::pair<std::size_t, std::size_t>> reports;
    std::size_t stopAfter = SIZE_MAX;
    ProgressReport Report() {
        return [this](std::size_t done, std::size_t total) {
            reports.emplace_back(done, total);
            return reports.size() < stopAfter;
        };
    }
    // Done never falls, never passes the total, and the total never shrinks.
    void ExpectSteady() const {
        for (std::size_t i = 0; i < reports.size(); ++i) {
            EXPECT_LE(reports[i].first, reports[i].second) << i;
            if (i == 0) continue;
            EXPECT_GE(reports[i].first, reports[i - 1].first) << i;
            EXPECT_GE(reports[i].second, reports[i - 1].second) << i;
        }
    }
};

// A document's whole state: its file bytes.
std::vector<std::uint8_t> StateOf(const CQVDoc& doc) { return DocumentBytes(doc).value(); }

class OpeningProgress : public ::testing::TestWithParam<const char*> {};

TEST_P(OpeningProgress, ReportsUpToTheEndAndAStopAtAnyStepKeepsTheDocument) {
    // A folder per case: the cases may run at once, and a scratch folder is emptied when taken.
    const std::filesystem::path dir = test::ScratchDir((std::string("progress-open-") + GetParam()).c_str());
    const std::filesystem::path path = dir / (std::string("six.") + GetParam());
    auto made = Striped(6);
    if (std::string(GetParam()) == "gif") {
        ASSERT_TRUE(GifExportJob::OfAnimation(made->GetAnimation()).Save(path, DefaultGifOptionsChooser()).status);
    } else {
        ASSERT_TRUE(SaveDocument(*made, path));
    }

    Recorder whole;
    CQVDoc opened;
    ASSERT_TRUE(OpenDocument(opened, path, whole.Report()));
    ASSERT_FALSE(whole.reports.empty());
    whole.ExpectSteady();
    EXPECT_EQ(whole.reports.back().first, whole.reports.back().second);  // it got to the end
    EXPECT_GE(whole.reports.size(), 6u);                                  // at least one report per frame
    EXPECT_EQ(opened.GetAnimation().FrameCount(), 6u);

    // A stop at each report in turn: refused, said why, nothing changed.
    for (std::size_t stop = 1; stop <= whole.reports.size(); ++stop) {
        auto doc = Striped(2);
        doc->SetPathName(dir / "before.qvd");
        const std::vector<std::uint8_t> before = StateOf(*doc);
        Recorder partial;
        partial.stopAfter = stop;
        const Status status = OpenDocument(*doc, path, partial.Report());
        ASSERT_FALSE(status.ok()) << stop;
        EXPECT_EQ(status.message(), kStoppedByUser) << stop;
        EXPECT_EQ(partial.reports.size(), stop);  // no report after the stop
        EXPECT_EQ(StateOf(*doc), before) << stop;
        EXPECT_EQ(doc->PathName(), dir / "before.qvd");
    }
}

INSTANTIATE_TEST_SUITE_P(Files, OpeningProgress, ::testing::Values("gif", "qvd"));

// A writer of the animation to a file: true when the run was stopped.
using AnimationSaver = std::function<bool(Animation&, const std::filesystem::path&, const ProgressReport&)>;

// The WebP and animated PNG writer, which the extension chooses.
bool SaveImage(Animation& animation, const std::filesystem::path& path, const ProgressReport& progress) {
    ProgressSteps steps(progress);
    const Status status = SaveAnimationAsImage(animation, path, {}, &steps);
    EXPECT_EQ(status.ok(), !steps.Stopped()) << status.message();
    if (steps.Stopped()) {
        EXPECT_EQ(status.message(), kStoppedByUser);
    }
    return steps.Stopped();
}

struct ExportCase {
    const char* extension;
    AnimationSaver save;
    std::size_t leastReports;  // for 5 frames
};

const ExportCase kExports[] = {
    {"gif",
     [](Animation& animation, const std::filesystem::path& path, const ProgressReport& progress) {
         ProgressSteps steps(progress);
         const GifExportResult result =
             GifExportJob::OfAnimation(animation, CountingIn(steps)).Save(path, DefaultGifOptionsChooser());
         EXPECT_TRUE(result.status.ok()) << result.status.message();
         return result.report.cancelled;
     },
    // one report for each frame rendered and for each image of each pass
     5 + 2 * 5},
    // one report for each frame rendered and for each frame written
    {"webp", SaveImage, 5 + 5},
    {"apng", SaveImage, 5 + 5},
};

class ExportProgress : public ::testing::TestWithParam<ExportCase> {};

TEST_P(ExportProgress, AStopAtAnyStepWritesNothingAndKeepsAnOldFile) {
    const std::string extension = GetParam().extension;
    const std::filesystem::path dir = test::ScratchDir(("progress-export-" + extension).c_str());
    auto doc = Striped(5);
    const std::filesystem::path path = dir / ("out." + extension);
    Recorder whole;
    ASSERT_FALSE(GetParam().save(doc->GetAnimation(), path, whole.Report()));
    whole.ExpectSteady();
    EXPECT_EQ(whole.reports.back().first, whole.reports.back().second);  // it got to the end
    EXPECT_GE(whole.reports.size(), GetParam().leastReports);
    const std::vector<std::uint8_t> written = FileBytes(path);
    ASSERT_FALSE(written.empty());

    // The old file stays as it was, byte for byte, whichever step says stop
    // (the last report tells that the file is written: too late to stop).
    doc->GetAnimation().FirstFrame()->duration = 77;
    for (std::size_t stop = 1; stop < whole.reports.size(); ++stop) {
        Recorder partial;
        partial.stopAfter = stop;
        EXPECT_TRUE(GetParam().save(doc->GetAnimation(), path, partial.Report())) << stop;
        EXPECT_EQ(partial.reports.size(), stop);  // no report after the stop
        EXPECT_EQ(FileBytes(path), written) << stop;
    }
    // and a stopped export to a new name leaves no file at all
    Recorder early;
    early.stopAfter = 3;
    const std::filesystem::path fresh = dir / ("new." + extension);
    EXPECT_TRUE(GetParam().save(doc->GetAnimation(), fresh, early.Report()));
    EXPECT_FALSE(std::filesystem::exists(fresh));
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_EQ(entry.path(), path) << "left behind: " << entry.path();
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportProgress, ::testing::ValuesIn(kExports),
                         [](const auto& info) { return std::string(info.param.extension); });

TEST(ProgressSteps, CountsWithinTheTotalAndStaysStopped) {
    std::vector<std::size_t> seen;
    ProgressSteps steps([&](std::size_t done, std::size_t) {
        seen.push_back(done);
        return done < 3;
    }, 2);
    EXPECT_TRUE(steps.Step());
    steps.AddToTotal(3);
    EXPECT_TRUE(steps.Step(1));
    EXPECT_FALSE(steps.Step());  // the report said stop at 3
    EXPECT_FALSE(steps.Step());  // and no report is asked again
    EXPECT_TRUE(steps.Stopped());
    EXPECT_EQ(seen, (std::vector<std::size_t>{1, 2, 3}));
    ProgressSteps capped({}, 2);
    EXPECT_TRUE(capped.Step(5));
    EXPECT_EQ(capped.Done(), 2u);
}

}  // namespace
}  // namespace vantrel
