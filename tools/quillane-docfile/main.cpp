// quillane-docfile: runs the real open/save workflow of documents without
// windows, for tests and checks.
//
//   quillane-docfile open FILE [--format N] [--read-only] [--copy-silently]
//       [--fail-silently] [--answer Yes|No|Cancel|Retry|Ok]... [--choose NAME[:FILTER]]...
//       [--option CreateBackup=0|1] [--option UndoAfterSave=0|1] [--type TEXT]
//       [--pause SECONDS] [--hold SECONDS] [--then save | save-as NAME [--filter K] | save-copy NAME]
//   quillane-docfile probe FILE
//
// open prints "format=N paragraphs=N readonly=0|1 copy=0|1 locked=0|1",
// then "result=N" for the save (0 saved, 1 not saved, 2 failed). Each
// message box is printed as "message: KIND BUTTONS TEXT" and the answer
// taken as "answer: ANSWER"; when the answers run out the cautious one is
// taken. --pause waits before the save, --hold after everything, keeping
// the document (and its lock) open. --choose gives the Save As dialog's further choices. probe prints
// "rw=OK|SHARING|DENIED|MISSING|ERROR read=..." for a read+write open that
// shares reading (a second document lock) and a reader that shares both.
// Exit code 0 when the open (and the save) succeeded, 1 otherwise, 2 for
// usage errors.
#include <iostream>
#include <string>
#include <vector>

#include "DocfileCommand.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const int code = quillane::RunDocfileCommand(args, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
