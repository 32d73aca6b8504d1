// Start with Windows: the current user's Run value that starts this copy of the program at log-on.
// The decisions are window-free (the value's name, its command, what the registry's state means);
// core/AutostartWin.cpp reads and writes the registry.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The Run value's name for the program in folder (UTF-8, as GetModuleFileName gives it): "Tessaly "
// and 16 hex digits of a hash of the folder, ASCII letters folded to lower case and trailing
// separators dropped. Windows paths are case-blind, and each folder holds one program, so each copy
// has its own value and finds it again at every start.
std::string autostartValueName(std::string_view folderUtf8);

// The command the Run value holds: the exe's full path, quoted (folders may hold spaces).
std::string autostartCommand(std::string_view exePathUtf8);

enum class AutostartState {
  Off,       // no value for this folder
  On,        // the value starts this exe
  Stale,     // the value names another path (the program was moved): rewrite it
  Disabled,  // the user turned it off in Task Manager's start-up page
};

// What the registry says: whether the Run value exists and its text, and the StartupApproved entry's
// bytes (null or empty when there is none). An entry whose first byte is odd means "disabled"; Task
// Manager writes 02 (enabled) or 03 (disabled), some tools 06 / 07.
AutostartState autostartStateOf(bool present, std::string_view storedCommand, std::string_view expectedCommand,
                                const uint8_t* approved, size_t approvedSize);

// "on" / "off" of the command line "--autostart on|off"; false for anything else.
bool parseAutostartWord(std::string_view word, bool* on);

#ifdef _WIN32
// The state of this exe's Run value in the registry.
AutostartState readAutostart();
// Writes (on) or removes (off) this exe's Run value and reads it back: false when the registry does
// not hold what was asked afterwards (a security tool blocked it, the key is read-only).
bool writeAutostart(bool on);
// Takes back a "disabled" of Task Manager's start-up page for this exe's value; only on the user's word.
bool clearStartupDisabled();
// At start: a value naming another path (the program was moved) is pointed at this exe again.
void renewStaleAutostart();
// "Tessaly.exe --autostart on|off" (or "/autostart"): true when the command line asks for it, with
// the word in *on; *valid false when the word is neither.
bool isAutostartCommandLine(bool* on, bool* valid);
#endif
