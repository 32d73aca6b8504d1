// "Tessaly.exe --list" (or "/list"): every counted line of the item file printed to the console the
// program was started from, without showing the widget.
#pragma once

// True when the command line asks for the listing.
bool isListCommandLine();

// Prints the listing and returns the process exit code: 0, or 1 when the item file cannot be read.
int runListCommand();
