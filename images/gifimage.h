#pragma once
// The in-document form of a GIF picture: the frame strip with its mask, each frame's geometry, delay and
// disposal, the current frame, and the animation stepped by the millisecond clock.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/control.h"
#include "platform/types.h"

namespace platform {
class Canvas;
}

// A bitmap that carries its own transparency mask (white = transparent, black = opaque).
class ThtBitmap : public platform::Bitmap {
public:
    ThtBitmap() = default;
    ThtBitmap(platform::Bitmap picture, platform::Bitmap mask);

    bool HasMask() const { return FTransparent; }
    const platform::Bitmap& Mask() const { return FMask; }
    void SetMask(platform::Bitmap mask);

    // Draws the source rectangle of the picture stretched into dest: through the mask when there is one
    // (destination pixels under white mask pixels stay), else as a plain copy.
    void StretchDraw(platform::Canvas& canvas, const platform::Rect& dest, const platform::Rect& source) const;

private:
    platform::Bitmap FMask;
    bool FTransparent = false;
};

struct TgfFrame {
    int frLeft = 0;
    int frTop = 0;
    int frWidth = 0;
    int frHeight = 0;
    int frDelay = 0;  // milliseconds
    std::uint8_t frDisposal = 0;
    std::uint8_t IsCopy = 0;
};

class TGIFImage {
public:
    // Decodes a GIF file held in memory; still is set when it has fewer than 2 frames. Any failure gives
    // no picture.
    static std::unique_ptr<TGIFImage> CreateFromStream(const std::uint8_t* data, std::size_t size, bool& still);
    static std::unique_ptr<TGIFImage> CreateFromStream(const std::vector<std::uint8_t>& data, bool& still)
    {
        return CreateFromStream(data.data(), data.size(), still);
    }
    // Reads the file and decodes it; a missing or unreadable file gives no picture.
    static std::unique_ptr<TGIFImage> CreateFromFile(const std::string& name, bool& still);
    // A picture sharing the source's strip, with its own frame records; frame and iteration start at 1.
    static std::unique_ptr<TGIFImage> Copy(const TGIFImage& source);

    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int NumFrames() const { return int(FFrames.size()); }
    bool IsAnimated() const { return FAnimated; }
    bool IsCopy() const { return FIsCopy; }
    bool IsTransparent() const { return FTransparent; }
    int NumIterations() const { return FNumIterations; }
    int CurrentIteration() const { return FCurrentIteration; }
    int CurrentFrame() const { return FCurrentFrame; }
    const TgfFrame& Frame(int n) const { return FFrames.at(size_t(n - 1)); }
    int PreviousDisposal() const { return FLastDisposal; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    bool Animate() const { return FAnimate; }
    const platform::Rect& DrawnRect() const { return FDrawnRect; }
    // The strip, kept as its frame slots (slot n is frame n, 1-based): each the screen size with its mask.
    const ThtBitmap& FrameBitmap(int n) const { return FStrip->at(size_t(n - 1)); }

    // Switching on an animated picture restarts the current frame's delay at now.
    void SetAnimate(bool on);
    void SetAnimateAt(bool on, std::uint32_t now);
    // Frame n (1-based); above the count gives the first frame, 0 or below the last.
    void SetCurrentFrame(int n);

    // Draws the current frame stretched into (x, y, width, height).
    void Draw(platform::Canvas& canvas, int x, int y, int width, int height);

    // One animation tick: when the current frame's delay has passed, moves to the next frame and asks
    // invalidate for the rectangle last drawn.
    void Step(const std::function<void(const platform::Rect&)>& invalidate);
    void StepAt(std::uint32_t now, const std::function<void(const platform::Rect&)>& invalidate);
    void Step(platform::Control* paintArea)
    {
        Step([paintArea](const platform::Rect& r) {
            if (paintArea)
                paintArea->InvalidateRect(r);
        });
    }

    // A copy of the first frame, and of its mask (an empty bitmap when the picture has no transparency).
    const platform::Bitmap& StillBitmap();
    const platform::Bitmap& StillMask();

private:
    TGIFImage() = default;

    bool FAnimated = false;
    bool FVisible = true;
    int FWidth = 0;
    int FHeight = 0;
    int FNumIterations = 1;
    int FCurrentIteration = 1;
    int FCurrentFrame = 1;
    bool FTransparent = false;
    std::shared_ptr<const std::vector<ThtBitmap>> FStrip;
    std::vector<TgfFrame> FFrames;
    bool FAnimate = false;
    std::uint32_t FLastTime = 0;
    int FCurrentDelay = 0;
    platform::Rect FDrawnRect;
    int FLastDisposal = 0;
    bool FIsCopy = false;
    std::unique_ptr<platform::Bitmap> FStill;
    std::unique_ptr<platform::Bitmap> FStillMask;
};
