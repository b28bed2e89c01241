// qx: the converter's value in a terminal. One run takes the command line (UTF-8, argv[0] the
// command's name) and the streams it reads and writes; it returns the exit status.
#pragma once

#include "cli/streams.h"

int RunQx(int argc, char** argv, Streams& streams);
