#include "app/update_handover.h"

#include <string>

#include "update/update_install.h"

namespace kestro {

// The argument is ASCII; any other character only has to stay apart from
// it, so it becomes '?'.
void WaitForReplacedCopy(PCWSTR commandLine, Processes& processes) {
  std::string ascii;
  for (const wchar_t* c = commandLine; c != nullptr && *c != L'\0'; ++c)
    ascii.push_back(*c < 0x80 ? static_cast<char>(*c) : '?');
  WaitForReplacedProgram(processes, ascii);
}

}  // namespace kestro
