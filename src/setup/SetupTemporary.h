#pragma once
// The installer's temporary files: "~" and the letters of its window title
// ("Quillane Vela - Setup"), a number counting up from 0 until the name is
// free, ".tmp"; each name is claimed by creating the file exclusively, so
// an existing file is never reused. At the end of the run every leftover
// name with that prefix in the folder goes, folders with their contents;
// a link goes as a link and is never followed, so the cleanup cannot reach
// outside the temporary folder.

#include <string>

namespace quillane {

constexpr const char* SetupTemporaryPrefix = "~QuillaneVelaSetup";

// A new empty file in `folder`; empty when none could be made.
std::string ClaimSetupTemporary(const std::string& folder);

// Deletes what the installer left in `folder`.
void DeleteSetupTemporaries(const std::string& folder);

}  // namespace quillane
