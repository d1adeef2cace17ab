// A Windows test program for the real signature check, driven by
// src/testing/code_signing_check.cmake under Wine:
//
//   probe trust-root CA.der       adds a test root to the machine's root store
//   probe distrust-root CA.der    removes it again
//   probe tamper IN OUT           copies IN with one byte of its image changed
//   probe verdicts [--successor KEY] FILE...
//                                 prints what the check says about the running
//                                 probe and each file (state, signer, key), and
//                                 the trust decision, with KEY as a successor
#include <windows.h>
// after windows.h, which it needs
#include <wincrypt.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/code_signing.h"
#include "update/update_trust.h"

namespace kestro {
namespace {

std::string ReadAll(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

const char* StateName(SignatureState state) {
  switch (state) {
    case SignatureState::Valid:
      return "valid";
    case SignatureState::Unsigned:
      return "unsigned";
    case SignatureState::Invalid:
      return "invalid";
  }
  return "?";
}

std::string Describe(const CodeSignature& signature) {
  std::string text = StateName(signature.state);
  if (!signature.publisher.empty()) text += " [" + signature.publisher + "]";
  if (!signature.signerKey.empty()) text += " " + signature.signerKey;
  return text;
}

int ChangeRootStore(const char* certificatePath, bool add) {
  std::string der = ReadAll(certificatePath);
  const CERT_CONTEXT* certificate = CertCreateCertificateContext(
      X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size()));
  if (certificate == nullptr) {
    std::printf("not a DER certificate: %s\n", certificatePath);
    return 1;
  }
  // The registry part of the root store: Wine's combined root store reports
  // a deletion as done but keeps the certificate.
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0,
                                   CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  bool done = false;
  if (store != nullptr) {
    if (add) {
      done = CertAddCertificateContextToStore(store, certificate, CERT_STORE_ADD_REPLACE_EXISTING,
                                              nullptr);
    } else {
      const CERT_CONTEXT* found = CertFindCertificateInStore(
          store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, certificate, nullptr);
      // CertDeleteCertificateFromStore frees the context it is given.
      done = found == nullptr || CertDeleteCertificateFromStore(found);
    }
    CertCloseStore(store, 0);
  }
  CertFreeCertificateContext(certificate);
  if (!done) std::printf("cannot change the root store (error %lu)\n", GetLastError());
  return done ? 0 : 1;
}

// The middle of the file lies in a section, which the image's digest covers.
int Tamper(const char* in, const char* out) {
  std::string bytes = ReadAll(in);
  if (bytes.empty()) return 1;
  bytes[bytes.size() / 2] ^= 0x5A;
  std::ofstream file(out, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file ? 0 : 1;
}

int Verdicts(int count, char** files) {
  SignerKeys successors;
  if (count >= 2 && std::string(files[0]) == "--successor") {
    successors.push_back(files[1]);
    count -= 2;
    files += 2;
  }
  SystemCodeSigning signing;
  std::printf("running program: %s\n", Describe(signing.RunningProgramSignature()).c_str());
  for (int i = 0; i < count; ++i) {
    std::string path = files[i];
    std::string name = path.substr(path.find_last_of("\\/") + 1);
    NativePath file = std::filesystem::path(path).native();
    bool trusted = IsTrustedUpdateFile(signing, file, successors);
    std::printf("%s: %s -> %s\n", name.c_str(), Describe(signing.FileSignature(file)).c_str(),
                trusted ? "trusted" : "refused");
  }
  return 0;
}

}  // namespace
}  // namespace kestro

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "trust-root" && argc == 3) return kestro::ChangeRootStore(argv[2], true);
  if (mode == "distrust-root" && argc == 3) return kestro::ChangeRootStore(argv[2], false);
  if (mode == "tamper" && argc == 4) return kestro::Tamper(argv[2], argv[3]);
  if (mode == "verdicts") return kestro::Verdicts(argc - 2, argv + 2);
  std::printf("usage: probe trust-root|distrust-root CA.der | tamper IN OUT | verdicts FILE...\n");
  return 2;
}
