// Code signatures as the update check needs them: whether a file carries a
// valid Authenticode signature that chains strictly to a trusted root, and
// the key that signed it. Windows asks WinVerifyTrust and then checks the
// chain itself; POSIX has no Authenticode trust, so there every file reads
// as unsigned and no download is ever trusted.
#pragma once

#include <string>

#include "platform/native_path.h"
#include "platform/program_files.h"

namespace kestro {

enum class SignatureState {
  // Signed, the image matches its signature, and the chain is trusted: it
  // leads to a trusted root with no fault but unknown revocation, every
  // certificate in it was valid when the file was signed (at its time
  // stamp, else now), the signer's certificate allows code signing and
  // every issuer is a certificate authority.
  Valid,
  // No signature at all.
  Unsigned,
  // Signed, but altered after signing, untrusted, expired or unreadable.
  Invalid,
};

struct CodeSignature {
  SignatureState state = SignatureState::Unsigned;
  // Distinguished name of the signing certificate's subject in UTF-8, e.g.
  // "CN=Zelmo, O=Zelmo, C=CN"; set for Valid signatures only. Shown to
  // testers, never trusted: a name is easy to copy.
  std::string publisher;
  // The signer's public key: SHA-256 of its certificate's
  // SubjectPublicKeyInfo, 64 lower-case hexadecimal digits; set for Valid
  // signatures only. What an update is trusted by.
  std::string signerKey;

  bool operator==(const CodeSignature&) const = default;
};

class CodeSigning {
 public:
  virtual ~CodeSigning() = default;
  // The signature of the running program's own file.
  virtual CodeSignature RunningProgramSignature() = 0;
  // The signature of the file at the path.
  virtual CodeSignature FileSignature(const NativePath& path) = 0;
  // The signature of a held file, read through its handle.
  virtual CodeSignature HeldFileSignature(const HeldFile& file) = 0;
};

class SystemCodeSigning final : public CodeSigning {
 public:
  CodeSignature RunningProgramSignature() override;
  CodeSignature FileSignature(const NativePath& path) override;
  CodeSignature HeldFileSignature(const HeldFile& file) override;
};

}  // namespace kestro
