// Entry point: the command line is not read, but for the one word a started box process carries;
// the viewer decides the exit status.
#include "app/process_tuning.h"
#include "app/viewer.h"

int main(int argc, char** argv) {
    ServeMessageBoxes(argc, argv);  // a process started to show one of the viewer's boxes
    TuneProcess();
    return RunViewer();
}
