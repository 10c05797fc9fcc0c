#include "app/process_tuning.h"

#include <malloc.h>  // mallopt

void TuneProcess() {
    // Bytes. The same as GLIBC_TUNABLES=glibc.malloc.trim_threshold=2000000000:
    // glibc.malloc.top_pad=268435456:glibc.malloc.mmap_threshold=33554432, set by the program so
    // that users need not know them. Huge pages for the heap (glibc.malloc.hugetlb=1, which only
    // a process started with it gets) are left off: they take memory the host has taken back,
    // and importing a 1M-face model ran 1.6 s against 1.2 s with them, its system time doubled
    // for a sixth of the page faults; Mesa's list recording and first frame were slower too.
    mallopt(M_TRIM_THRESHOLD, 2000000000);
    mallopt(M_TOP_PAD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
}
