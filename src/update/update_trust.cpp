#include "update/update_trust.h"

namespace kestro {

bool IsTrustedUpdate(const CodeSignature& runningProgram, const CodeSignature& download) {
  if (runningProgram.state != SignatureState::Valid) return false;
  if (download.state != SignatureState::Valid) return false;
  // A valid signature without a named signer identifies nobody.
  if (runningProgram.publisher.empty()) return false;
  return download.publisher == runningProgram.publisher;
}

bool IsTrustedUpdateFile(CodeSigning& signing, const NativePath& path) {
  CodeSignature runningProgram = signing.RunningProgramSignature();
  // The download is not even looked at when the running program is unsigned.
  if (runningProgram.state != SignatureState::Valid) return false;
  return IsTrustedUpdate(runningProgram, signing.FileSignature(path));
}

}  // namespace kestro
