#pragma once

#include <thread>

namespace tarsik {

// Fontconfig reads its configuration files the first time a font is needed, some milliseconds
// before the first window can paint. Made before the application object, this reads them on
// another core while the application connects to the display; wait() returns once they are read.
class FontPreload {
  public:
    FontPreload();
    ~FontPreload();
    FontPreload(const FontPreload&) = delete;
    FontPreload& operator=(const FontPreload&) = delete;

    void wait();

  private:
    std::thread reader_;
};

} // namespace tarsik
