#include "app/help_texts.h"

#include "build_config.h"
#include "text/system_texts.h"

namespace kestro {

std::string InstructionsText() { return std::string(text::kInstructionsText); }

std::string AboutText() {
  return std::string(text::kAboutVersionLabel) + KESTRO_VERSION_SHORT + "  \n\n" +
         std::string(text::kAboutDateLine) +
         std::string(text::kAboutEmailLabel) + KESTRO_VENDOR_EMAIL + "  \n\n" +
         std::string(text::kAboutHomePageLabel) + KESTRO_VENDOR_HOST + "  \n\n";
}

// The vendor's pages are served over plain HTTP.
std::string HomePageAddress() {
  return std::string("http://") + KESTRO_VENDOR_HOST + "/soft/kestro/kestro.htm";
}

std::string MessageBoardAddress() {
  return std::string("http://") + KESTRO_VENDOR_HOST + "/liuyanban/liuyanban.asp?id=12670";
}

}  // namespace kestro
