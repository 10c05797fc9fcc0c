#include "model/confine/memory_limit.h"

#include <sys/resource.h>  // setrlimit

void CapMemory() {
    constexpr rlim_t kLimit = rlim_t{4} << 30;
    rlimit limit;
    if (kMemoryCapped && getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur > kLimit) {
        limit.rlim_cur = kLimit;
        setrlimit(RLIMIT_AS, &limit);
    }
}
