#pragma once
// Unpacking one payload file to its destination. The bytes go to a new file
// beside the target, which takes its time and then replaces the target in
// one step; so a failure (a corrupt stream, a full disk, a file in use)
// never leaves a partial file under the final name, and an upgrade that
// fails keeps the old file. Missing folders are created and logged, the
// file is logged once it is in place. A failure asks the user (Abort,
// Retry, Ignore) through the message box given, which on the worker
// thread passes the question to the user-interface thread.

#include <string>

#include "platform/MessageBox.h"
#include "setup/AttachedFiles.h"
#include "setup/InstallLog.h"
#include "setup/PayloadInflate.h"

namespace quillane {

enum class TExtractOutcome {
    Installed,
    Ignored,    // failed, and the user chose to go on without the file
    Aborted,    // failed, and the user chose to stop the installation
    Cancelled,  // the hooks asked to stop
};

// Windows refuses longer paths (in UTF-16 units, with the final NUL).
constexpr size_t DestinationPathLimit = 260;

TExtractOutcome ExtractFile(TAttachedFiles& files, const TAttachedFile& entry, const std::string& path,
                            TInstallLog& log, TMessageBox& ask, const TExtractHooks* hooks = nullptr);

}  // namespace quillane
