#include "output/PngErrorTrap.h"

#include <cstring>

namespace varnoset {

void PngErrorTrap::fail(png_structp png, png_const_charp message) {
    auto* trap = static_cast<PngErrorTrap*>(png_get_error_ptr(png));
    if (trap != nullptr && message != nullptr) {
        std::strncpy(trap->message.data(), message, trap->message.size() - 1);
    }
    png_longjmp(png, 1);
}

void PngErrorTrap::warn(png_structp, png_const_charp) {}

}  // namespace varnoset
