// Keeps Mesa's libraries loaded for the whole test run.
//
// Each window's GL context loads Mesa when the video subsystem starts and unloads it when it
// stops. Mesa allocates its one-time state on first use and never frees it, relying on staying
// loaded; once unloaded, that state is unreachable and LeakSanitizer reports it from an
// "<unknown module>" after every GL test. Pinned, the state stays reachable and only leaks of
// our own are reported. A library this machine lacks is simply skipped.
#include <dlfcn.h>

#include <initializer_list>  // the braced list of names below

namespace {

struct MesaPin {
    MesaPin() {
        for (const char* name : {"libglapi.so.0", "libEGL_mesa.so.0", "libGLX_mesa.so.0",
                                 "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"}) {
            dlopen(name, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
        }
    }
};

const MesaPin pin;

}  // namespace
