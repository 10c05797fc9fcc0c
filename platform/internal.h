// What the files behind platform.h share with one another; nothing outside platform/ includes it.
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
