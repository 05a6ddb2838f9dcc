#include "ui/shell/server_decorations.h"

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <wayland-client.h>

namespace tarsik {
namespace {

// Where the environment does not name a platform, Qt follows the session type.
bool qtWillUseWayland() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0') {
        return std::string_view(platform).starts_with("wayland");
    }
    const char* session = std::getenv("XDG_SESSION_TYPE");
    return session != nullptr && std::string_view(session) == "wayland";
}

void noteGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
    if (std::string_view(interface) == "zxdg_decoration_manager_v1") {
        *static_cast<bool*>(data) = true;
    }
}

void ignoreRemoval(void*, wl_registry*, uint32_t) {}

bool compositorDrawsDecorations() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return false;
    }
    bool offered = false;
    static const wl_registry_listener listener{noteGlobal, ignoreRemoval};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &offered);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered;
}

} // namespace

bool preferServerDecorations() {
    if (!qtWillUseWayland() || std::getenv("QT_WAYLAND_DISABLE_WINDOWDECORATION") != nullptr) {
        return false;
    }
    setenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1", 0);
    return !compositorDrawsDecorations();
}

} // namespace tarsik
