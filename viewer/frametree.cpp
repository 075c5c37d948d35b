#include "viewer/frametree.h"

#include <cstdio>

#include "viewer/frames.h"
#include "viewer/frameviewer.h"

namespace {

std::string RectText(TFrameViewer& viewer, platform::Control& c)
{
    const platform::Point p = viewer.ScreenToClient(c.ClientToScreen(platform::Point{0, 0}));
    char buf[80];
    std::snprintf(buf, sizeof buf, "(%d,%d %dx%d)", p.X, p.Y, c.Width(), c.Height());
    return buf;
}

void Walk(TFrameViewer& viewer, TFrameBase& item, int depth, std::string& out)
{
    const std::string indent(std::size_t(depth) * 2, ' ');
    if (auto* frame = dynamic_cast<TfvFrame*>(&item)) {
        out += indent + FrameLine(viewer, *frame) + "\n";
        if (frame->SubSet())
            Walk(viewer, *frame->SubSet(), depth + 1, out);
        return;
    }
    auto& set = static_cast<TSubFrameSet&>(item);
    out += indent + (set.Rows ? "set rows " : "set cols ") + RectText(viewer, set) + "\n";
    for (TFrameBase* child : set.List)
        Walk(viewer, *child, depth + 1, out);
}

}  // namespace

std::string FrameLine(TFrameViewer& viewer, TfvFrame& frame)
{
    return "frame \"" + frame.FrameName + "\" src=" + frame.Source + " rect=" + RectText(viewer, frame);
}

std::string FrameTreeText(TFrameViewer& viewer)
{
    std::string out;
    Walk(viewer, viewer.Master(), 0, out);
    return out;
}
