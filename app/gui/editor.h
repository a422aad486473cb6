// The editor's start: `tavro [FILES...]` (and the requests a second start
// passes on to the running one).
#pragma once

#include <QString>
#include <QStringList>

#include "app/gui/single_instance.h"

namespace tavro::gui {

// The editor's arguments (after the program name): files to open, or
// "--print FILES..." / "--print-to PRINTER FILES..." ("--print-to=PRINTER"
// too). Relative paths become absolute. False with `error` for a print
// request without files or printer.
bool ParseStartArguments(const QStringList& args, StartRequest& request, QString& error);


// Runs the editor with the command line's files; returns the exit code.
int RunEditor(int argc, char** argv);

}  // namespace tavro::gui
