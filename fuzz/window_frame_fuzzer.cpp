// The saved window frame, as the settings file may hold it after any edit or corruption, read
// back and checked against two screens.
#include "ui/shell/window_frame.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QRectF frame = tarsik::parseFrameString(text);
    if (!std::isfinite(frame.x()) || !std::isfinite(frame.y()) || !std::isfinite(frame.width()) ||
        !std::isfinite(frame.height())) {
        __builtin_trap();
    }
    if (const auto restored =
            tarsik::restorableFrame(text, {QRect(0, 0, 1920, 1050), QRect(1920, 0, 2560, 1410)})) {
        if (restored->width() < tarsik::minimumWindowSize.width() ||
            restored->height() < tarsik::minimumWindowSize.height()) {
            __builtin_trap(); // never smaller than the window may be
        }
        tarsik::parseFrameString(tarsik::frameString(*restored));
    }
    return 0;
}
