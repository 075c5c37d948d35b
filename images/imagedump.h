#pragma once
// The picture dump behind "vexa-dump picture FILE [--frames DIR]": what the decoders make of a picture
// file (kind, size, frames with geometry, delays, disposal and transparency, or the decoder's error),
// and optionally every frame as it shows after disposal, written as PNG files DIR/frame-N.png.

#include <ostream>
#include <string>

// Answers the exit code: 0 when the picture decoded, 1 when the decoder refused it, 2 when the file
// could not be read or a frame could not be written.
int DumpPicture(const std::string& file, std::ostream& out, const std::string& framesDir = std::string());
