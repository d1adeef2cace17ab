// Whether a downloaded program may be offered and started: it must carry a
// valid, strictly chained signature by a key the running program knows: the
// key that signed the running program itself, or a successor key the build
// names, so that a certificate renewed with a new key is announced one
// release ahead. A name is never enough, being easy to copy. An unsigned
// running program (a development build) trusts nothing.
#pragma once

#include <string>
#include <vector>

#include "platform/code_signing.h"

namespace kestro {

// SHA-256 hashes of signer public keys, as CodeSignature::signerKey holds
// them.
using SignerKeys = std::vector<std::string>;

bool IsTrustedUpdate(const CodeSignature& runningProgram, const CodeSignature& download,
                     const SignerKeys& successorKeys = {});

// Asks the seam about the running program and the file at the path.
bool IsTrustedUpdateFile(CodeSigning& signing, const NativePath& path,
                         const SignerKeys& successorKeys = {});
// The same for a held file, read through its handle.
bool IsTrustedHeldFile(CodeSigning& signing, const HeldFile& file,
                       const SignerKeys& successorKeys = {});

}  // namespace kestro
