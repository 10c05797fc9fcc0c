// The model read in a child process of its own, confined (reader_sandbox.h), so that a file that
// crashes, hangs or exhausts the reader costs the importer nothing. The child sends back the model
// as plain arrays (model_wire.h), which are checked here like anything else from a stranger.
#pragma once

#include <string>

#include "model/records/model_data.h"

// What the child runs on the model's path: ReadModel, or a test's stand-in.
using ModelReader = bool (*)(const std::string& path, ModelData& model, std::string& error);

// More than every reader gets, for programs that run on files nobody chose to open.
struct ReaderConfinement {
    // When named, the child can open nothing outside this folder, where the kernel allows
    // (ConfineReader): what the model names elsewhere cannot be opened, as if it were not there.
    std::string onlyFolder;
    // The child's own messages (a sanitizer's report of a crash) are dropped instead of passed
    // on to standard error, which then holds only what the caller says.
    bool quiet = false;
};

// Runs `reader` on `path` in a confined child, `seconds` of wall-clock time at most, and hands
// back the model it read, checked by CheckModelData. `confinement` may narrow it further. False,
// with `error` saying why in words that follow "MODEL: ", when the reader refused the file (its own
// reason), crashed, was stopped by its sandbox, ran out of memory or time, or sent anything but a
// well-formed model; the warnings it sent are in model.warnings either way. Should a held
// interruption (interruption.h) arrive meanwhile, the child is killed and the process ends by the
// signal. Forks: the caller must have one thread only.
bool ReadConfined(const std::string& path, double seconds, ModelReader reader, ModelData& model,
                  std::string& error, const ReaderConfinement& confinement = {});
