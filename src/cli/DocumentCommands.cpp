// Documents from the command line: info --document and render.

#include <cstdio>
#include <iostream>

#include "cli/Cli.h"
#include "cli/PngWriter.h"
#include "cli/TerminalProgress.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "document/LabelItem.h"
#include "text/Cp1252.h"

namespace vantrel::cli {

void LoadDocument(const std::string& path, CQVDoc& doc) {
    const Status status =
        OpenDocument(doc, path, TerminalProgress("opening " + std::filesystem::path(path).filename().string()));
    if (!status) throw CommandFailure(kExitBadInput, AboutPath(path, status.message()));
    // A damaged file that opened all the same is said so, and the work goes on.
    if (!doc.openWarning.empty()) std::cerr << "vantrel-cli: warning: " << doc.openWarning << '\n';
}

namespace {

const char* KindName(ItemKind kind) {
    switch (kind) {
    case ItemKind::Bitmap: return "bitmap";
    case ItemKind::Label: return "label";
    case ItemKind::Box: return "box";
    case ItemKind::Ellipse: return "ellipse";
    default: return "item";
    }
}

// Label texts are Windows-1252 bytes; the terminal and JSON want UTF-8.
std::string Utf8Text(const std::string& text) { return Cp1252ToUtf8(text); }

std::string ColorText(PixelValue color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", RedOf(color), GreenOf(color), BlueOf(color));
    return text;
}

void PrintDocumentJson(const Animation& animation) {
    JsonWriter json(std::cout);
    json.BeginObject()
        .BeginObject("canvas")
        .Field("width", animation.Width())
        .Field("height", animation.Height())
        .EndObject()
        .Field("loopCount", animation.loopCount)
        .BeginArray("frames");
    for (const auto& frame : animation.Frames()) {
        json.BeginObject()
            .Field("master", frame->isMaster)
            .Field("duration", frame->duration)
            .Field("backgroundColor", ColorText(frame->backgroundColor));
        if (const AnimFrame* background = frame->BackgroundFrame())
            json.Field("backgroundFrame", animation.IndexOf(background) + 1);
        else
            json.Null("backgroundFrame");
        json.BeginArray("items");
        for (const CanvasItem* item : frame->BottomToTop()) {
            const Rect& b = item->Bounds();
            json.BeginObject().Field("kind", KindName(item->Kind())).BeginArray("bounds");
            json.Value(b.left).Value(b.top).Value(b.right).Value(b.bottom).EndArray();
            if (item->Kind() == ItemKind::Label)
                json.Field("text", Utf8Text(static_cast<const LabelItem&>(*item).Text()));
            json.EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray().EndObject();
    std::cout << '\n';
}

void PrintDocumentText(const Animation& animation) {
    std::cout << "canvas " << animation.Width() << " x " << animation.Height() << ", loop count "
              << animation.loopCount << (animation.loopCount == 0 ? " (without end)" : "") << ", "
              << animation.FrameCount() << (animation.FrameCount() == 1 ? " frame\n" : " frames\n");
    std::size_t number = 0;
    for (const auto& frame : animation.Frames()) {
        std::cout << "frame " << ++number << (frame->isMaster ? " (master)" : "") << ": duration "
                  << frame->duration << ", background " << ColorText(frame->backgroundColor);
        if (const AnimFrame* background = frame->BackgroundFrame())
            std::cout << " over frame " << animation.IndexOf(background) + 1;
        std::cout << ", " << frame->CountItems() << (frame->CountItems() == 1 ? " item\n" : " items\n");
        for (const CanvasItem* item : frame->BottomToTop()) {
            const Rect& b = item->Bounds();
            std::cout << "  " << KindName(item->Kind()) << " [" << b.left << ", " << b.top << ", "
                      << b.right << ", " << b.bottom << "]";
            if (item->Kind() == ItemKind::Label)
                std::cout << " \"" << Utf8Text(static_cast<const LabelItem&>(*item).Text()) << "\"";
            std::cout << "\n";
        }
    }
}

}  // namespace

int DocumentInfo(const std::string& path, bool json) {
    CQVDoc doc;
    LoadDocument(path, doc);
    if (json)
        PrintDocumentJson(doc.GetAnimation());
    else
        PrintDocumentText(doc.GetAnimation());
    return kExitOk;
}

int RenderCommand(std::span<const std::string> args) {
    Arguments a(args, {}, {});
    if (a.Positionals().size() != 2) return Fail(kExitUsage, "render takes FILE OUTDIR");
    CQVDoc doc;
    LoadDocument(a.Positionals()[0], doc);
    const std::filesystem::path input = a.Positionals()[0];
    const std::filesystem::path outDir = a.Positionals()[1];
    // Opening renders every frame.
    const Animation& animation = doc.GetAnimation();
    CheckNumberedOutputs(outDir, "frame", animation.FrameCount(), "png", input);
    EnsureFolder(outDir);
    PngFolderWriter writer(outDir);
    std::size_t number = 0;
    for (const auto& frame : animation.Frames()) {
        const std::string name = NumberedName("frame", ++number, "png");
        const Status written = writer.Write(name, frame->Image(), PngAlpha::Inverse);
        if (!written) return Fail(kExitBadOutput, written.message());
        std::cout << (outDir / name).string() << '\n';
    }
    if (const Status synced = writer.Finish(); !synced) return Fail(kExitBadOutput, synced.message());
    return kExitOk;
}

}  // namespace vantrel::cli

namespace vantrel::cli {

int SaveCommand(std::span<const std::string> args) {
    Arguments a(args, {}, {});
    if (a.Positionals().size() != 2) return Fail(kExitUsage, "save takes IN OUT.qvd");
    const std::filesystem::path input = a.Positionals()[0];
    CheckOutput(WithDocumentExtension(a.Positionals()[1]), std::span(&input, 1));
    CQVDoc doc;
    LoadDocument(a.Positionals()[0], doc);
    return SaveAs(doc, a.Positionals()[1]);
}

int SaveAs(CQVDoc& doc, const std::filesystem::path& out) {
    const std::filesystem::path target = WithDocumentExtension(out);
    const Status saved = SaveDocument(doc, target);
    if (!saved) return Fail(kExitBadOutput, saved.message());
    std::cout << target.string() << '\n';
    return kExitOk;
}

}  // namespace vantrel::cli
