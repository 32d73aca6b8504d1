// Start with Windows: the current user's Run value that starts this copy of the program at log-on.
// The decisions are window-free (the value's name, its command, what the registry's state means);
// core/AutostartWin.cpp reads and writes the registry.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// A Run value's command split into the program it starts and what follows. A quoted path runs to
// its closing quote; an unquoted one, as Windows reads it, to the end of the first ".exe" that ends
// a word (a path with spaces), else to the first space. Spaces around are dropped.
struct RunCommand {
  std::string exe;
  std::string arguments;
};
RunCommand parseRunCommand(std::string_view command);

// "Tessaly " and 16 hex digits: a name autostartValueName gives, for this folder or another one.
bool isAutostartValueName(std::string_view name);

// What the window code found at the path a value starts, by the file itself (its volume and file
// id), so that a short name, a junction or other letter case are the same file.
enum class ExeLook {
  ThisProgram,
  Another,  // another file that is there (another copy, another program)
  Gone,     // not there, on a drive or share that is
  Unknown,  // cannot tell: the drive or share is not there (unplugged), or not a full path
};

// Whether a Run value may be this program's, before anything is looked up: a name of the form
// above, or a command whose program's file name is "Tessaly.exe" or exeFileName (the running
// program's), ASCII letters' case aside.
bool mayBeThisProgramsValue(std::string_view name, std::string_view command, std::string_view exeFileName);

enum class RunValueKind {
  NotOurs,  // another program's, or another copy's that is still there
  This,     // starts this program, under whatever name
  Stale,    // starts a copy that no longer exists (the program was moved or deleted)
};
// A value that may be this program's, given what was found at the program it starts.
RunValueKind runValueKind(ExeLook look);

struct RunValueFound {
  std::string name;
  RunValueKind kind;
};
struct AutostartCleanup {
  std::string adopt;                // renamed to this program's own name (its Task Manager state along)
  std::vector<std::string> remove;  // removed, with their Task Manager entries
};
// What to do with the values found besides the one named ownName (names compared as the registry
// does, ASCII letters' case aside). At start, when there is no value of the own name, the first
// value that starts this program, else the first stale one, is adopted: the program was moved or is
// reached by another name, and the user asked for it to start with Windows. Every other one that
// starts this program or a copy gone is removed: at start, and by "--autostart on|off".
AutostartCleanup planAutostartCleanup(const std::vector<RunValueFound>& found, std::string_view ownName, bool atStart);

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
