// Imported models kept for the next look: one scene folder per model file under
// $XDG_CACHE_HOME/quorvane/ (~/.cache/quorvane/ when unset), reused while the model file, the
// importer and the import options are what they were.
#pragma once

#include <string>
#include <vector>

struct CachedModel {
    std::string folder;  // the scene folder, whole, to start the viewer in
    std::string stamp;   // what the folder was made from; a different one means import again
};

// Where the cache of `model` (a path to a regular file) lies and what its stamp must say, for
// the importer at `importer` run with `options`. False, with `error`, when the model or the
// importer cannot be looked at or no cache folder can be named.
bool LocateCache(const std::string& model, const std::string& importer,
                 const std::vector<std::string>& options, CachedModel& cached, std::string& error);

// True when the folder is there and was made from what the stamp says.
bool IsCurrent(const CachedModel& cached);

// Imports the model into the cache with `importer`, its report and warnings on this process's
// own output, and stamps the folder; a folder is taken as current only once its stamp is there. The
// importer's exit status (0 when the folder is ready), or 1 with `error` when it could not be run
// or the folder could not be put in place.
int ImportIntoCache(const std::string& model, const std::string& importer,
                    const std::vector<std::string>& options, const CachedModel& cached,
                    std::string& error);
