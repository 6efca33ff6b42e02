// qpeek-import: the command line and the import of each input into message files.
#pragma once

namespace qpeek::import {

// Runs the program; returns the exit status (0; 1 when an input failed; 2 for a usage
// error; 130 when interrupted).
int runImport(int argc, char **argv);

} // namespace qpeek::import
