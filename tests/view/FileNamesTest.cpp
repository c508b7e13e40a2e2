#include "view/FileNames.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(FileNames, DocumentsAreProposedAsQvdBesideTheirFile) {
    struct Case {
        const char* path;
        const char* title;
        const char* proposed;
    };
    const Case cases[] = {
        {"/pics/muybridge.gif", "muybridge.gif", "/pics/muybridge.qvd"},  // not muybridge.gif.qvd
        {"/pics/horse.qvd", "horse.qvd", "/pics/horse.qvd"},
        {"/pics/photo.JPG", "photo.JPG", "/pics/photo.qvd"},
        {"", "Untitled-1", "Untitled-1.qvd"},
        {"/pics/my.film.png", "my.film.png", "/pics/my.film.qvd"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProposedDocumentPath(c.path, c.title).string(), c.proposed) << c.path;
}

TEST(FileNames, AnimationsAreProposedAsGifInTheDocumentsFolder) {
    EXPECT_EQ(ProposedAnimationPath("/out/last.gif", "/docs/horse.qvd", "horse.qvd").string(), "/out/last.gif");
    EXPECT_EQ(ProposedAnimationPath("", "/docs/horse.qvd", "horse.qvd").string(), "/docs/horse.gif");
    EXPECT_EQ(ProposedAnimationPath("", "/docs/clip.png", "clip.png").string(), "/docs/clip.gif");
    EXPECT_EQ(ProposedAnimationPath("", "", "Untitled-2").string(), "Untitled-2.gif");
}

}  // namespace
}  // namespace vantrel
