#pragma once

namespace tarsik {

// On Wayland, Qt loads its EGL client-buffer integration (Mesa and with it LLVM: some 55 MB
// and 25 ms here) only to learn whether it may draw window decorations itself, although
// Tarsik's windows are drawn in shared memory. Where the compositor draws the decorations (it
// offers xdg-decoration: KDE Plasma, sway and others), Qt never draws its own, so this tells Qt
// to skip that check. Compositors that leave decorations to the client (GNOME, weston) keep
// Qt's, and with them the integration: Qt 6.4 draws no decorations at all when it has none, so
// leaving it out there would leave a window without a title bar. Call before the application
// object; a choice made in the environment is kept.
void preferServerDecorations();

} // namespace tarsik
