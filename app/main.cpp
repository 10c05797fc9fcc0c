// Entry point. The frame loop and its set-up follow in the driver.
#include <cstdio>

int main() {
    std::fprintf(stderr, "quorvane: the viewer is not assembled yet\n");
    return 0;
}
