#pragma once
// A text picture of a frame viewer's tree, for tools and tests: one line per set and frame, indented by
// depth, with each frame's name, source and rectangle (in the frame viewer's coordinates).

#include <string>

class TFrameViewer;
class TfvFrame;

std::string FrameTreeText(TFrameViewer& viewer);
// One frame's line (without indent): frame "name" src=... rect=(left,top width x height).
std::string FrameLine(TFrameViewer& viewer, TfvFrame& frame);
