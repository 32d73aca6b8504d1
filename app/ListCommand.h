// "Tessaly.exe --list" (or "/list"): every counted line of the item file printed to the console the
// program was started from, without showing the widget.
#pragma once

// "Tessaly.exe --ics FILE" (or "/ics FILE"): the item list written to FILE as an iCalendar file.

// True when the command line asks for the listing or the calendar file: either runs without a window.
bool isListCommandLine();

// Prints the listing, or writes the calendar file, and returns the process exit code: 0, or 1 when
// the item file cannot be read or the calendar file cannot be written (a message on standard error).
int runListCommand();
