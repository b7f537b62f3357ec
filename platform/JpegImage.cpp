// libjpeg decoding with an error manager that jumps back instead of ending the process.
#include "JpegImage.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <memory>

#include <jpeglib.h>

namespace JpegImage {

namespace {

// libjpeg's error_exit must not return; it jumps back to Decode. Everything it may skip
// over lives in this heap object (plain C data and the image), never in locals created
// after setjmp, so no destructor is bypassed.
struct TDecodeState {
    jpeg_decompress_struct Info{};
    jpeg_error_mgr ErrorManager{};
    std::jmp_buf JumpBack{};
    int Warnings = 0;
    QImage Image;
};

TDecodeState* StateOf(j_common_ptr Info) {
    return static_cast<TDecodeState*>(Info->client_data);
}

[[noreturn]] void ErrorExit(j_common_ptr Info) {
    std::longjmp(StateOf(Info)->JumpBack, 1);
}

void EmitMessage(j_common_ptr Info, int Level) {
    // Level -1 is a warning about corrupt or missing data; anything else is trace output.
    if (Level < 0) ++StateOf(Info)->Warnings;
}

void OutputMessage(j_common_ptr) {}

} // namespace

QImage Decode(const QByteArray& Data) {
    if (Data.isEmpty()) return {};
    const auto State = std::make_unique<TDecodeState>();
    TDecodeState* const S = State.get();
    S->Info.client_data = S;

    S->Info.err = jpeg_std_error(&S->ErrorManager);
    S->ErrorManager.error_exit = ErrorExit;
    S->ErrorManager.emit_message = EmitMessage;
    S->ErrorManager.output_message = OutputMessage;

    if (setjmp(S->JumpBack) != 0) {
        jpeg_destroy_decompress(&S->Info);
        return {};
    }

    jpeg_create_decompress(&S->Info);
    jpeg_mem_src(&S->Info, reinterpret_cast<const unsigned char*>(Data.constData()),
                 static_cast<unsigned long>(Data.size()));
    if (jpeg_read_header(&S->Info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&S->Info);
        return {};
    }
    const qint64 Pixels = static_cast<qint64>(S->Info.image_width) * S->Info.image_height;
    if (Pixels <= 0 || Pixels > MaxPixels) {
        jpeg_destroy_decompress(&S->Info);
        return {};
    }
    S->Info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&S->Info);

    S->Image = QImage(static_cast<int>(S->Info.output_width), static_cast<int>(S->Info.output_height),
                      QImage::Format_RGB888);
    if (S->Image.isNull() || S->Info.output_components != 3) {
        jpeg_destroy_decompress(&S->Info);
        return {};
    }
    while (S->Info.output_scanline < S->Info.output_height) {
        JSAMPROW Row = S->Image.scanLine(static_cast<int>(S->Info.output_scanline));
        jpeg_read_scanlines(&S->Info, &Row, 1);
    }
    jpeg_finish_decompress(&S->Info);
    jpeg_destroy_decompress(&S->Info);

    // libjpeg pads a truncated or damaged stream with grey and only warns; such a
    // picture is not the one stored, so it counts as undecodable.
    if (S->Warnings > 0) return {};
    return std::move(S->Image);
}

} // namespace JpegImage
