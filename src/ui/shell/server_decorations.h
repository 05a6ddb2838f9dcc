#pragma once

namespace tarsik {

// On Wayland, Qt 6.4 loads its EGL client-buffer integration (Mesa and with it LLVM: some 55 MB
// and 25 ms here, and a vendor's EGL library may wake a sleeping GPU) only to learn whether it
// may draw window decorations itself, although Tarsik's windows are drawn in shared memory.
// This tells Qt to draw none. Where the compositor draws them (it offers xdg-decoration: KDE
// Plasma, sway and others) nothing else changes; where it leaves them to the client (GNOME,
// weston) it returns true, and Tarsik's windows carry their own controls. Call before the
// application object; a choice made in the environment is kept.
bool preferServerDecorations();

} // namespace tarsik
