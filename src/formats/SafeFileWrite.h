#pragma once
// Every save goes through one helper so that no failure can cost the user
// the file already on the disk: the new content is written to a file made
// exclusively beside the target, flushed, and only then moved over the
// target in one step. Until that step the target is not touched; on any
// failure only the new file is deleted.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/File.h"
#include "platform/MessageBox.h"

namespace quillane {

enum class TSafeWriteResult {
    Written,         // the target holds the new content
    CreateFailed,    // no file could be made beside the target (message shown)
    NotWritten,      // writing or flushing failed, or the user cancelled
    ReplaceFailed,   // the target could not be replaced (message shown)
};

struct TSafeWriteRequest {
    std::string Target;  // the file to (re)place; named in every message
    // Writes the whole content into the new file from its start. False, or
    // TSilentAbort after the user cancelled a write error, means failure.
    std::function<bool(TFile&)> Write;
    // Runs just before the replace: releases what holds the target (the
    // document's lock). It is not undone on failure; the caller reopens.
    std::function<void()> BeforeReplace;
};

// The name of the n-th candidate for the new file: "<target>.~<n>".
std::string SiblingTemporaryName(const std::string& target, int32_t n);

// Asks "Cannot create file" (Retry/Cancel) when the new file cannot be made
// or the target cannot be replaced; Retry repeats only that step.
TSafeWriteResult WriteFileSafely(const TSafeWriteRequest& request, TMessageBox& messages);

// Creates a file that did not exist, trying `name(0)`, `name(1)`, ... while
// the name is taken; the chosen name is returned in `chosen`.
TFileOpenResult CreateExclusively(const std::function<std::string(int32_t)>& name, std::string& chosen);

}  // namespace quillane
