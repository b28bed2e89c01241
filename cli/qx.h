// qx: the converter's value in a terminal. argv holds UTF-8; returns the exit status.
#pragma once

int RunQx(int argc, char** argv);
