// Built into each program on its own, so a test build of the program can
// ask a loopback server instead (KESTRO_UPDATE_HOST and KESTRO_UPDATE_PORT
// defined on its command line).
#include "app/update_server.h"

#include "build_config.h"

namespace kestro {

UpdateSettings UpdateServerSettings() {
  UpdateSettings settings;
  settings.host = KESTRO_UPDATE_HOST;
  settings.port = KESTRO_UPDATE_PORT;
  settings.successorSignerKeys = {KESTRO_SUCCESSOR_SIGNER_KEYS};
  return settings;
}

}  // namespace kestro
