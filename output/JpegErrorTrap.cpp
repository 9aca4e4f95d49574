#include "output/JpegErrorTrap.h"

#include <jerror.h>

namespace varnoset {

namespace {

[[noreturn]] void jumpBack(j_common_ptr codec) {
    auto* trap = reinterpret_cast<JpegErrorTrap*>(codec->err);
    trap->messageCode = codec->err->msg_code;
    std::longjmp(trap->jump, 1);
}

// Warnings that mean the picture could not be decoded as it was written.
bool isDamage(int code) {
    switch (code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_NOT_SEQUENTIAL:
            return true;
        default:
            return false;
    }
}

void emitMessage(j_common_ptr codec, int level) {
    if (level < 0) {
        if (isDamage(codec->err->msg_code)) {
            jumpBack(codec);
        }
        ++codec->err->num_warnings;
    }
}

void outputMessage(j_common_ptr) {}

}  // namespace

JpegErrorTrap::JpegErrorTrap() {
    jpeg_std_error(&manager);
    manager.error_exit = jumpBack;
    manager.emit_message = emitMessage;
    manager.output_message = outputMessage;
}

std::string jpegErrorText(int messageCode) {
    return "JPEG error #" + std::to_string(messageCode);
}

}  // namespace varnoset
