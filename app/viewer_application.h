// Application start: the three windows, created once each, and the message
// loop.
#pragma once

namespace sonalyt::app {

// Runs the viewer: `sonalyt [FILE]` opens FILE at start as if it had been
// chosen in the Open dialog. Returns the process exit code.
int RunViewer(int argc, char** argv);

}  // namespace sonalyt::app
