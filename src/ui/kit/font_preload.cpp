#include "ui/kit/font_preload.h"

#include <fontconfig/fontconfig.h>

namespace tarsik {

FontPreload::FontPreload() : reader_([] { FcInit(); }) {}

FontPreload::~FontPreload() {
    wait();
}

void FontPreload::wait() {
    if (reader_.joinable()) {
        reader_.join();
    }
}

} // namespace tarsik
