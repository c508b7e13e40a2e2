#pragma once
// The editor view of the tool and command tests: one frame, zoom 1,
// scrolled to the origin so that window points are frame points, and the
// gestures a person makes.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "ViewTestUtil.h"
#include "view/EditorView.h"

namespace vantrel::test {

// A view at zoom 1 scrolled to the origin, so window points are frame points.
struct ToolFixture {
    ToolFixture() : doc(DocWithFrames(1)), host({1200, 1200}), view(*doc, host) {
        view.OnInitialUpdate();
        view.OnScroll({0, 0});
    }
    AnimFrame& Frame() { return *view.CurrentFrame(); }
    void Tool(CommandId id) { ASSERT_TRUE(view.ExecuteCommand(id)); }
    void Drag(std::initializer_list<Point> path, Modifiers m = {}) {
        auto it = path.begin();
        view.OnPointerMove(*it, m);
        view.OnPrimaryDown(*it, m);
        for (++it; it != path.end(); ++it) view.OnPointerMove(*it, m);
        view.OnPrimaryUp(*(path.end() - 1));
    }
    void Click(Point p, Modifiers m = {}) { Drag({p}, m); }
    std::size_t Steps() const { return doc->History().Index(); }

    std::unique_ptr<CQVDoc> doc;
    RecordingHost host;
    EditorView view;
};

}  // namespace vantrel::test
