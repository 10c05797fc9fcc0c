// Entry point: the command line is not read; the driver decides the exit status.
#include "app/driver.h"

int main() {
    return RunViewer();
}
