// The texts of the Help menu's boxes and the vendor's web addresses.
#pragma once

#include <string>

namespace kestro {

std::string InstructionsText();
std::string AboutText();
std::string HomePageAddress();
std::string MessageBoardAddress();

}  // namespace kestro
