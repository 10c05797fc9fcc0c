// Entry point: the command line is not read; the viewer decides the exit status.
#include "app/process_tuning.h"
#include "app/viewer.h"

int main() {
    TuneProcessForRenderer();
    return RunViewer();
}
