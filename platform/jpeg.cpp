// JPEG through libjpeg. libjpeg reports fatal errors through a callback that must not return; ours jumps
// back (setjmp/longjmp) into small C-style steps that hold no C++ objects, and the C++ side then throws.

#include "platform/jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

extern "C" {
#include <jpeglib.h>
}

#include "platform/exception.h"
#include "platform/qt/bitmap_private.h"

namespace platform {

namespace {

struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void OnJpegError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

extern "C" void OnJpegMessage(j_common_ptr) {} // warnings stay quiet

struct Decoder
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    bool created = false;
};

// Each step answers false after a libjpeg error (message in err.message).
bool ReadHeader(Decoder* dec, const std::uint8_t* data, std::size_t size)
{
    if (setjmp(dec->err.jump))
        return false;
    jpeg_create_decompress(&dec->cinfo);
    dec->created = true;
    jpeg_mem_src(&dec->cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&dec->cinfo, TRUE);
    return true;
}

bool StartDecompress(Decoder* dec)
{
    if (setjmp(dec->err.jump))
        return false;
#ifdef JCS_EXTENSIONS
    dec->cinfo.out_color_space = JCS_EXT_BGR;
#else
    dec->cinfo.out_color_space = JCS_RGB;
#endif
    jpeg_start_decompress(&dec->cinfo);
    return true;
}

bool ReadRows(Decoder* dec, std::uint8_t** rows, int count)
{
    if (setjmp(dec->err.jump))
        return false;
    int done = 0;
    while (done < count && dec->cinfo.output_scanline < dec->cinfo.output_height) {
        const JDIMENSION got = jpeg_read_scanlines(&dec->cinfo, rows + done, JDIMENSION(count - done));
        if (got == 0)
            break;
        done += int(got);
    }
    return true;
}

void Finish(Decoder* dec)
{
    if (!dec->created)
        return;
    if (setjmp(dec->err.jump) == 0)
        jpeg_abort_decompress(&dec->cinfo);
    jpeg_destroy_decompress(&dec->cinfo);
    dec->created = false;
}

struct Encoder
{
    jpeg_compress_struct cinfo;
    ErrorManager err;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool created = false;
};

bool StartCompress(Encoder* enc, int width, int height, int quality)
{
    if (setjmp(enc->err.jump))
        return false;
    jpeg_create_compress(&enc->cinfo);
    enc->created = true;
    jpeg_mem_dest(&enc->cinfo, &enc->buffer, &enc->size);
    enc->cinfo.image_width = JDIMENSION(width);
    enc->cinfo.image_height = JDIMENSION(height);
    enc->cinfo.input_components = 3;
    enc->cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&enc->cinfo);
    jpeg_set_quality(&enc->cinfo, quality, TRUE);
    jpeg_start_compress(&enc->cinfo, TRUE);
    return true;
}

bool WriteRow(Encoder* enc, std::uint8_t* row)
{
    if (setjmp(enc->err.jump))
        return false;
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&enc->cinfo, rows, 1);
    return true;
}

bool FinishCompress(Encoder* enc)
{
    if (setjmp(enc->err.jump))
        return false;
    jpeg_finish_compress(&enc->cinfo);
    return true;
}

void DestroyEncoder(Encoder* enc)
{
    if (enc->created)
        jpeg_destroy_compress(&enc->cinfo);
    enc->created = false;
    if (enc->buffer)
        std::free(enc->buffer);
    enc->buffer = nullptr;
}

void InstallErrors(jpeg_common_struct* common, ErrorManager& err)
{
    common->err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnJpegError;
    err.pub.output_message = OnJpegMessage;
    err.message[0] = 0;
}

} // namespace

bool IsJPEG(const std::uint8_t* data, std::size_t size)
{
    return data && size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

Bitmap LoadJPEG(const std::uint8_t* data, std::size_t size, JPEGInfo* info)
{
    if (!data || size < 4)
        throw EInvalidGraphicOperation("JPEG error: no data");
    auto dec = std::make_unique<Decoder>();
    InstallErrors(reinterpret_cast<jpeg_common_struct*>(&dec->cinfo), dec->err);
    struct Guard
    {
        Decoder* d;
        ~Guard() { Finish(d); }
    } guard{dec.get()};

    if (!ReadHeader(dec.get(), data, size))
        throw EInvalidGraphicOperation(std::string("JPEG error: ") + dec->err.message);
    const int width = int(dec->cinfo.image_width), height = int(dec->cinfo.image_height);
    if (width <= 0 || height <= 0)
        throw EInvalidGraphicOperation("JPEG error: empty picture");
    CheckBitmapSize(width, height);
    if (info) {
        info->Width = width;
        info->Height = height;
        info->Grayscale = dec->cinfo.jpeg_color_space == JCS_GRAYSCALE;
    }
    if (!StartDecompress(dec.get()))
        throw EInvalidGraphicOperation(std::string("JPEG error: ") + dec->err.message);
    if (int(dec->cinfo.output_width) != width || int(dec->cinfo.output_height) != height ||
        dec->cinfo.output_components != 3)
        throw EInvalidGraphicOperation("JPEG error: unexpected output");

    Bitmap result(width, height, PixelFormat::pf24bit);
    std::vector<std::uint8_t*> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[y] = result.ScanLine(y);
    if (!ReadRows(dec.get(), rows.data(), height))
        throw EInvalidGraphicOperation(std::string("JPEG error: ") + dec->err.message);
#ifndef JCS_EXTENSIONS
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::swap(rows[y][x * 3], rows[y][x * 3 + 2]);
#endif
    return result;
}

Bitmap LoadJPEG(const std::vector<std::uint8_t>& data, JPEGInfo* info)
{
    return LoadJPEG(data.data(), data.size(), info);
}

std::vector<std::uint8_t> EncodeJPEG(const Bitmap& bitmap, int quality)
{
    if (bitmap.Empty())
        throw EInvalidGraphicOperation("JPEG error: empty picture");
    auto enc = std::make_unique<Encoder>();
    InstallErrors(reinterpret_cast<jpeg_common_struct*>(&enc->cinfo), enc->err);
    struct Guard
    {
        Encoder* e;
        ~Guard() { DestroyEncoder(e); }
    } guard{enc.get()};
    if (!StartCompress(enc.get(), bitmap.Width(), bitmap.Height(), std::clamp(quality, 1, 100)))
        throw EInvalidGraphicOperation(std::string("JPEG error: ") + enc->err.message);
    std::vector<std::uint8_t> row(std::size_t(bitmap.Width()) * 3);
    const Bitmap::Impl& d = bitmap.Data();
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor c = d.PixelAt(x, y);
            row[x * 3] = std::uint8_t(GetRValue(c));
            row[x * 3 + 1] = std::uint8_t(GetGValue(c));
            row[x * 3 + 2] = std::uint8_t(GetBValue(c));
        }
        if (!WriteRow(enc.get(), row.data()))
            throw EInvalidGraphicOperation(std::string("JPEG error: ") + enc->err.message);
    }
    if (!FinishCompress(enc.get()))
        throw EInvalidGraphicOperation(std::string("JPEG error: ") + enc->err.message);
    return std::vector<std::uint8_t>(enc->buffer, enc->buffer + enc->size);
}

void SaveJPEG(const Bitmap& bitmap, int quality, const std::string& path)
{
    const std::vector<std::uint8_t> bytes = EncodeJPEG(bitmap, quality);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw EInOutError("Cannot create file \"" + path + "\"");
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out)
        throw EInOutError("Cannot write file \"" + path + "\"");
}

} // namespace platform
