// Whether a downloaded program may be offered and started: it must carry a
// valid signature from the same publisher as the running program. An
// unsigned running program (a development build) trusts nothing.
#pragma once

#include "platform/code_signing.h"

namespace kestro {

bool IsTrustedUpdate(const CodeSignature& runningProgram, const CodeSignature& download);

// Asks the seam about the running program and the file at the path.
bool IsTrustedUpdateFile(CodeSigning& signing, const NativePath& path);

}  // namespace kestro
