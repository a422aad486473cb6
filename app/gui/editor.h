// The editor's start: `tavro [FILES...]` (and the requests a second start
// passes on to the running one).
#pragma once

namespace tavro::gui {

// Runs the editor with the command line's files; returns the exit code.
int RunEditor(int argc, char** argv);

}  // namespace tavro::gui
