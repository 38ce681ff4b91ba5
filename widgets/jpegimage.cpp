// SPDX-License-Identifier: MIT
#include "widgets/jpegimage.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace vrako {
namespace {

// libjpeg's default reaction to an error is to print and exit; ours jumps back to the caller.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Corrupt-data warnings (level -1) end the decoding too: a half-grey picture is no picture.
void emitMessage(j_common_ptr info, int level) {
    if (level < 0)
        std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void outputMessage(j_common_ptr) {}

void installErrorManager(ErrorManager& err, jpeg_common_struct& info) {
    info.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = outputMessage;
}

// Kept free of objects with destructors: longjmp may leave it at any libjpeg call.
bool decodeInto(const QByteArray& data, QImage* image) {
    jpeg_decompress_struct info{};
    ErrorManager err{};
    installErrorManager(err, *reinterpret_cast<jpeg_common_struct*>(&info));
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > kMaxJpegSide || info.image_height > kMaxJpegSide) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                    QImage::Format_RGB888);
    if (image->isNull() || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool encodeInto(const QImage& rgb, int quality, unsigned char** buffer, unsigned long* size) {
    jpeg_compress_struct info{};
    ErrorManager err{};
    installErrorManager(err, *reinterpret_cast<jpeg_common_struct*>(&info));
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        // libjpeg's row type is not const, but it only reads the rows it is given.
        JSAMPROW row =
            const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray& data) {
    QImage image;
    if (data.isEmpty() || !decodeInto(data, &image))
        return {};
    return image;
}

QByteArray encodeJpeg(const QImage& image, int quality) {
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = encodeInto(rgb, qBound(1, quality, 100), &buffer, &size);
    QByteArray out;
    if (ok)
        out = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return out;
}

} // namespace vrako
