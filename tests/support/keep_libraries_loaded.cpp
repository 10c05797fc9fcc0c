// Leak checking with GL tests (AddressSanitizer builds only).
//
// The GL fixture makes SDL load the GL driver for every test and unload it at TearDown. The
// driver keeps a few kilobytes (configuration strings and the like) in its own globals; once it
// is unloaded those blocks look leaked, and their stacks end in an unnamed module, so no
// suppression can single them out. Keeping every library loaded for the life of the test process
// leaves those blocks reachable, and LeakSanitizer reports only what our own code leaks.
//
// This definition in the test executable (and in quorvane-shot, which the golden-image tests
// run) takes the place of the C library's dlclose for every library in the process; nothing in
// them relies on a library going away.
#if defined(__SANITIZE_ADDRESS__)
#define QUORVANE_KEEP_LIBRARIES_LOADED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVANE_KEEP_LIBRARIES_LOADED 1
#endif
#endif

#if defined(QUORVANE_KEEP_LIBRARIES_LOADED)
extern "C" int dlclose(void*) {
    return 0;
}
#endif

#if defined(QUORVANE_KEEP_LIBRARIES_LOADED)
// Mesa's software rasteriser keeps its feedback and selection buffers for the life of the
// process, and D-Bus (which SDL asks to keep the screen saver off) a connection buffer; with the
// libraries kept loaded they are named by their modules, so they can be left out.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\nleak:libdbus-1.so\n";
}
#endif
