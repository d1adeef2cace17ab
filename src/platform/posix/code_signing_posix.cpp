#include "platform/code_signing.h"

namespace kestro {

// There is no Authenticode trust store here, so nothing can be shown to come
// from the vendor: every file reads as unsigned, and the update check never
// offers a download on this platform.
CodeSignature SystemCodeSigning::RunningProgramSignature() { return {}; }

CodeSignature SystemCodeSigning::FileSignature(const NativePath&) { return {}; }

CodeSignature SystemCodeSigning::HeldFileSignature(const HeldFile&) { return {}; }

}  // namespace kestro
