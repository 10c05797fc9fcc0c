#include "app/process_tuning.h"

#include <malloc.h>  // mallopt

void TuneProcessForRenderer() {
    // Bytes. The same as GLIBC_TUNABLES=glibc.malloc.trim_threshold=2000000000:
    // glibc.malloc.top_pad=268435456, set by the program so that users need not know it.
    mallopt(M_TRIM_THRESHOLD, 2000000000);
    mallopt(M_TOP_PAD, 256 << 20);
}
