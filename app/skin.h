#pragma once
// The skin of the info window and its dialog: JPEG pictures in the folder "skin" of the runtime folder
// (the current folder), or beside the program. A picture that is missing or unreadable is replaced by a
// plain one of the size the control needs, so the window stays usable with a damaged installation.

#include <string>

#include "platform/bitmap.h"

// The folder the skin is read from: "skin/" in the current folder when it exists there, else the one
// beside the program; "" when neither exists.
std::string SkinFolder();

// Loads skin/<name>.jpg. When it cannot be read, gives a width x height picture in the fallback colour
// with the caption (UTF-16, may be empty) centred on it.
platform::Bitmap LoadSkinPicture(const std::string& name, int width, int height, platform::TColor fallback,
                                 const std::u16string& caption = {});
