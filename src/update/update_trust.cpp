#include "update/update_trust.h"

#include <algorithm>

namespace kestro {

bool IsTrustedUpdate(const CodeSignature& runningProgram, const CodeSignature& download,
                     const SignerKeys& successorKeys) {
  if (runningProgram.state != SignatureState::Valid) return false;
  if (download.state != SignatureState::Valid) return false;
  // A valid signature without a known key identifies nobody.
  if (runningProgram.signerKey.empty() || download.signerKey.empty()) return false;
  if (download.signerKey == runningProgram.signerKey) return true;
  return std::find(successorKeys.begin(), successorKeys.end(), download.signerKey) !=
         successorKeys.end();
}

bool IsTrustedUpdateFile(CodeSigning& signing, const NativePath& path,
                         const SignerKeys& successorKeys) {
  CodeSignature runningProgram = signing.RunningProgramSignature();
  // The download is not even looked at when the running program is unsigned.
  if (runningProgram.state != SignatureState::Valid) return false;
  return IsTrustedUpdate(runningProgram, signing.FileSignature(path), successorKeys);
}

bool IsTrustedHeldFile(CodeSigning& signing, const HeldFile& file,
                       const SignerKeys& successorKeys) {
  CodeSignature runningProgram = signing.RunningProgramSignature();
  if (runningProgram.state != SignatureState::Valid) return false;
  return IsTrustedUpdate(runningProgram, signing.HeldFileSignature(file), successorKeys);
}

}  // namespace kestro
