// The thumbnail's file, written whole or not at all, also when the run is cut short: a file
// manager reads whatever it finds at OUTPUT once the program has ended.
//
// Lifecycle: GuardRun first thing, BeginOutput, the picture written to the temporary file, then
// FinishOutput (or AbandonOutput).
#pragma once

#include <string>

// From now on SIGINT, SIGTERM and SIGHUP end the program by their signal, and the end of
// `seconds` of wall-clock time with status 1 and the line "`subject`: did not finish within
// N s" on standard error; either way the temporary file, if any, is removed first.
void GuardRun(const std::string& subject, double seconds);

// The seconds left of GuardRun's limit.
double SecondsLeft();

// Creates a new file beside `output` for the picture to be written to, readable as a new file of
// the user's is; false, with `error` saying why, when none can be made.
bool BeginOutput(const std::string& output, std::string& temporary, std::string& error);

// Renames `temporary` to `output`, replacing a file there; false, with `error` saying why and
// `temporary` removed, when it cannot.
bool FinishOutput(const std::string& temporary, const std::string& output, std::string& error);

// Removes `temporary`: nothing is written.
void AbandonOutput(const std::string& temporary);
