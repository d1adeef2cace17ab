// The texts of the Help menu's boxes and the vendor's web addresses.
#pragma once

#include <string>

namespace kestro {

inline constexpr const char* kInstructionsCaption = "Zelmo按键-操作说明";
inline constexpr const char* kAboutCaption = "Zelmo按键-关于";

std::string InstructionsText();
std::string AboutText();
std::string HomePageAddress();
std::string MessageBoardAddress();

}  // namespace kestro
