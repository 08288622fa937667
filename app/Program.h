#pragma once

#include <string>
#include <vector>

// The whole program but for the process boundary: parses the arguments, picks the data
// directory and runs the chosen mode. Returns the exit status: 0 after the show or a command,
// 255 after a load error (its "name: message" line printed on standard output), 1 when there
// is no display or the command fails otherwise (an output it cannot or will not write), 2 for a
// bad command line or an order or row the music does not have.
int runProgram(const std::vector<std::string>& args);
