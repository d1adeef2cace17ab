// Code signatures as the update check needs them: whether a file carries a
// valid Authenticode signature that chains to a trusted root, and who signed
// it. Windows asks WinVerifyTrust; POSIX has no Authenticode trust, so there
// every file reads as unsigned and no download is ever trusted.
#pragma once

#include <string>

#include "platform/native_path.h"

namespace kestro {

enum class SignatureState {
  // Signed, the image matches its signature, and the chain is trusted.
  Valid,
  // No signature at all.
  Unsigned,
  // Signed, but altered after signing, untrusted, expired or unreadable.
  Invalid,
};

struct CodeSignature {
  SignatureState state = SignatureState::Unsigned;
  // Distinguished name of the signing certificate's subject in UTF-8, e.g.
  // "CN=Zelmo, O=Zelmo, C=CN"; set for Valid signatures only. Compared
  // byte for byte, never shown.
  std::string publisher;

  bool operator==(const CodeSignature&) const = default;
};

class CodeSigning {
 public:
  virtual ~CodeSigning() = default;
  // The signature of the running program's own file.
  virtual CodeSignature RunningProgramSignature() = 0;
  // The signature of the file at the path.
  virtual CodeSignature FileSignature(const NativePath& path) = 0;
};

class SystemCodeSigning final : public CodeSigning {
 public:
  CodeSignature RunningProgramSignature() override;
  CodeSignature FileSignature(const NativePath& path) override;
};

}  // namespace kestro
