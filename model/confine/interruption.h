// quorvane-import's answer to SIGINT, SIGTERM and SIGHUP: they are held (blocked) from the start,
// so that they take effect only where the importer can clean up after itself: while the model
// reader runs (it is killed first) and between the files of the scene (the partial directory is
// removed first). Then the importer ends as the signal would have ended it. A signal the importer
// was started with ignored (nohup, a background job) stays ignored.
#pragma once

// Holds the three signals for the rest of the run; at the start of main, before any child.
void HoldInterruptions();

// A descriptor that poll() finds readable while a held signal is pending; -1 before
// HoldInterruptions or when none is held.
int InterruptionDescriptor();

// True while a held signal is pending.
bool InterruptionPending();

// When a held signal is pending, ends the process by it; otherwise returns.
void EndIfInterrupted();
