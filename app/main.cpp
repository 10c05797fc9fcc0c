// Entry point: the command line is not read; the viewer decides the exit status.
#include "app/viewer.h"

int main() {
    return RunViewer();
}
