// What the files behind platform.h share with one another; nothing outside platform/ includes it.
// The quit signals are the same for every port; ShowBoxAndExit is the port's.
#pragma once

// SIGINT and SIGTERM end the program in order: from the first CreateWindowAndContext on, the
// first of them becomes a Close event at the next PollEvent, in whatever state the program was
// (a switch, a long load), and a second one ends the process at once, for a program that hangs.
void InstallQuitSignals();
// True once SIGINT or SIGTERM has come.
bool QuitSignalled();
// A descriptor that becomes readable when SIGINT or SIGTERM comes, for waits that must end then;
// -1 before InstallQuitSignals.
int QuitSignalDescriptor();

// ---- What a port supplies beside the functions of platform.h ----------------------------------

// Exit statuses of a box's own process (see ServeMessageBoxes).
constexpr int kBoxClosed = 3;       // closed without a choice
constexpr int kBoxPrinted = 4;      // no box could be shown: the process wrote it to stderr
constexpr int kBoxAnswerBase = 10;  // + the BoxAnswer chosen
// In a process started for a box: shows it and ends with one of the statuses above.
// `description` is 'y' (yes/no) or 'o' (OK), then 'e', 'w' or 'n' (the icon), then the text.
[[noreturn]] void ShowBoxAndExit(const char* description, const char* caption);
