// Scene folders kept for the next look, under $XDG_CACHE_HOME/quorvane/ (~/.cache/quorvane/
// when unset): one per imported model file, reused while the model file, the importer and the
// import options are what they were; and a writable copy of the demo, reused while the demo's
// files are what they were. Each folder is stamped with what it was made from, the stamp written
// last, so a folder left half made is never taken as current.
#pragma once

#include <string>
#include <vector>

struct CachedScene {
    std::string folder;  // the scene folder, whole, to start the viewer in
    std::string stamp;   // what the folder was made from; a different one means make it again
};

// Where the cache of `model` (a path to a regular file) lies and what its stamp must say, for
// the importer at `importer` run with `options`. False, with `error`, when the model or the
// importer cannot be looked at or no cache folder can be named.
bool LocateCache(const std::string& model, const std::string& importer,
                 const std::vector<std::string>& options, CachedScene& cached, std::string& error);

// Where the copy of the demo in `demo` (a folder holding data/demo.scn) lies and what its stamp
// must say: every file of the demo's data/ but a report, as it is now. False, with `error`, when
// the demo cannot be read or no cache folder can be named.
bool LocateDemoCopy(const std::string& demo, CachedScene& cached, std::string& error);

// True when the folder is there and was made from what the stamp says.
bool IsCurrent(const CachedScene& cached);

// Imports the model into the cache with `importer`, its report and warnings on this process's
// own output, and stamps the folder. The importer's exit status (0 when the folder is ready), or
// 1 with `error` when it could not be run or the folder could not be put in place.
int ImportIntoCache(const std::string& model, const std::string& importer,
                    const std::vector<std::string>& options, const CachedScene& cached,
                    std::string& error);

// Copies the demo's data/ (but a report) into the cache and stamps the folder. 0 when the folder
// is ready, or 1 with `error`.
int CopyDemoIntoCache(const std::string& demo, const CachedScene& cached, std::string& error);
