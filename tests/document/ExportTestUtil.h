#pragma once
// Jobs over images held by a test, for the export tests.

#include <cstddef>
#include <utility>

#include "document/Export.h"

namespace vantrel::test {

// A job over images (shared, not copied), steered by run.
inline GifExportJob JobOver(const GifExportImages& images, GifExportRun run = {}) {
    return GifExportJob(CopyGifExportImages({0, false, &images}), std::move(run));
}

// A run whose results show image `image` as the file shows it.
inline GifExportRun Previewing(std::size_t image) {
    GifExportRun run;
    run.previewImage = image;
    return run;
}

}  // namespace vantrel::test
