#pragma once
// Starts the Windows help program on the library's help file and waits for it.
namespace quillon {

inline constexpr char kHelpProgram[] = "c:\\windows\\winhelp.exe";
// The leading space is part of the argument.
inline constexpr char kHelpArgument[] = " vantrel.hlp";

// RunProgram(kHelpProgram, kHelpArgument): the help program's exit code, or -1 at once when
// there is no program at its fixed path. Shows nothing.
int ShowHelp();

// Starts `program` with exactly two arguments, `program` itself and `argument` unchanged,
// waits for it to end and returns its exit code; -1 at once when it cannot be started.
int RunProgram(const char* program, const char* argument);

}  // namespace quillon
