// "Tessaly.exe --list" (or "/list"): every counted line of the item file printed to the console the
// program was started from, without showing the widget.
#pragma once

// True when the command line asks for the listing.
bool isListCommandLine();

// Prints the listing and returns the process exit code: 0 (also for no item file at all), or 1 when
// the item file cannot be read or is too large (the reason on standard error) or the listing cannot
// be written.
int runListCommand();
