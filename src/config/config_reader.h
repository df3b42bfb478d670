#pragma once
#include <atomic>
#include <string>

namespace brg {

// Set when the configuration names a CDU to show: the window runs as the CDU screen.
extern std::atomic<bool> g_cduMode;

// Reads every setting of Talvesync.cfg at start-up (not the window positions, not the SIOC keys),
// switches the protocol traces and the CDU screen mode accordingly, and fills the selection lists
// and the CDU key map. Then logs each line that was not understood, and why. Never throws: an
// error is logged, and the reading goes on with the next group of keys.
void gf_getCfgData() noexcept;

// What the status line says about the lines gf_getCfgData did not understand; empty when it
// understood them all (or has not run).
std::string gf_cfgNote();
void gf_clearCfgNote();

// Reads MAIN_WINDOW_X and MAIN_WINDOW_Y for the main window; a position on the edge of its range
// is not trusted and goes back to its default, in the file too. Throws what saving throws.
void gf_readMainWindowPosition();

// Reads the Variables window's keys: whether it was open at the last exit, its place and size.
void gf_readVariablesWindow();

} // namespace brg
