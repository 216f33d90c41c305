#pragma once
// The open and save workflow run from the command line, with the answers to
// its questions and the choices of its dialogs taken from the arguments;
// every message it would show is printed. See main.cpp for the syntax.

#include <ostream>
#include <string>
#include <vector>

namespace quillane {

int RunDocfileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quillane
