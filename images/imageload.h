#pragma once
// Loading pictures: recognition of picture data by its first bytes, the loaders of BMP, JPEG and PNG
// into a bitmap with its transparency mask, preparation for the display, and the small picture helpers
// of the painting code. GIF pictures are read by TGIFImage.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/types.h"
#include "images/imagecache.h"

namespace platform {
class Canvas;
}

// Kinds of picture data.
enum TImageType : int { itNone = 0, itBMP = 1, itGIF = 2, itGIF89 = 3, itPNG = 4, itJPG = 5 };

// The kind of picture the first bytes announce.
TImageType KindOfImage(const std::uint8_t* data, std::size_t size);
// The same for a file; itNone when it does not exist or has 9 bytes or fewer.
TImageType KindOfImageFile(const std::string& name);

// Loads a BMP, PNG or JPEG file. transp is in/out (a mode of TTranspType); mask receives the
// transparency mask for modes 1 and 3. Never raises: bad or missing data gives no picture.
std::unique_ptr<platform::Bitmap> LoadImageFromFile(const std::string& name, TTranspType& transp,
                                                    std::unique_ptr<platform::Bitmap>& mask);
// The same for picture data in memory; 19 bytes or fewer give no picture.
std::unique_ptr<platform::Bitmap> LoadImageFromStream(const std::uint8_t* data, std::size_t size,
                                                      TTranspType& transp, std::unique_ptr<platform::Bitmap>& mask);

// A monochrome mask of the bitmap: white where the colour is (useColour) or where the lower-left pixel's
// colour is (otherwise), black elsewhere. No mask when it cannot be made.
std::unique_ptr<platform::Bitmap> GetImageMask(const platform::Bitmap& image, bool useColour, platform::TColor colour);

// The colour of the first fully transparent palette entry of a palette PNG (as red + green*256 +
// blue*65536). False for other PNGs and for anything that is not a PNG.
bool GetPNGTransparentColor(const std::uint8_t* data, std::size_t size, platform::TColor& colour);

// Makes a picture fit for the display: on palette displays (class 8 or below) it is reduced to the
// display's palette; on true-colour displays pictures of 8 bits or fewer become device bitmaps.
// Answers the picture to keep (the argument or its replacement), or none.
std::unique_ptr<platform::Bitmap> PrepareForDisplay(std::unique_ptr<platform::Bitmap> bitmap);

// Size of a picture of any kind; raises platform::Exception "Not a TBitmap, TGifImage, of TGpImage" for
// an object that holds none.
int GetImageHeight(const TPictureObject* image);
int GetImageWidth(const TPictureObject* image);

// Drawing helpers.
// Fills the rectangle with the colour; the canvas's brush is kept.
void FillRectWithColor(platform::Canvas& canvas, const platform::Rect& r, platform::TColor colour);
// Draws the picture stretched into (x, y, w, h), leaving the destination where the mask is white.
void DrawTransparentBitmap(platform::Canvas& canvas, int x, int y, int w, int h, const platform::Bitmap& image,
                           const platform::Bitmap& mask);
// A picture 1 pixel wide or high stretched to at most 100 pixels in that direction, so that tiling it
// takes fewer steps; the mask likewise when there is one. Other pictures are copied unchanged.
std::unique_ptr<platform::Bitmap> EnlargeImage(const platform::Bitmap& image, int width, int height);

// The stock pictures: the placeholder shown while a picture is awaited or when pictures are not shown,
// the picture shown when a picture could not be loaded, and that picture's mask.
const platform::Bitmap& DefaultBitmap();
const platform::Bitmap& ErrorBitmap();
const platform::Bitmap& ErrorBitmapMask();
