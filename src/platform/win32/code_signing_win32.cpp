#include <windows.h>
// after windows.h, which they need
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <string>

#include "platform/code_signing.h"
#include "platform/executable_path.h"

namespace kestro {
namespace {

// Distinguished name of the certificate's subject, e.g. "CN=Zelmo, O=Zelmo".
std::wstring SubjectName(const CERT_CONTEXT* certificate) {
  CERT_NAME_BLOB* subject = &certificate->pCertInfo->Subject;
  DWORD flags = CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG;
  DWORD length = CertNameToStrW(X509_ASN_ENCODING, subject, flags, nullptr, 0);
  if (length <= 1) return {};
  std::wstring name(length, L'\0');
  CertNameToStrW(X509_ASN_ENCODING, subject, flags, name.data(), length);
  name.resize(length - 1);
  return name;
}

// The publisher's name is compared, not shown, so it is kept exactly: GBK
// would turn every character it lacks into '?' and make distinct names equal.
std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return {};
  int size = static_cast<int>(wide.size());
  int count = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(count), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), count, nullptr, nullptr);
  return utf8;
}

// Chain faults that mean the signer is not vouched for by a trusted root.
// Windows' Authenticode policy already refuses them; Wine's (8.0) accepts a
// self-signed signer and a chain to an unknown root, so they are refused
// here as well.
constexpr DWORD kUntrustedChain = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN |
                                  CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_CYCLIC;

// The publisher of a file WinVerifyTrust accepted: the subject of its first
// signer's certificate, or "" when the signer is not trusted after all.
std::wstring TrustedSignerName(HANDLE stateData) {
  CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(stateData);
  if (provider == nullptr) return {};
  CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
  if (signer == nullptr || signer->pChainContext == nullptr) return {};
  if (signer->pChainContext->TrustStatus.dwErrorStatus & kUntrustedChain) return {};
  CRYPT_PROVIDER_CERT* certificate = WTHelperGetProvCertFromChain(signer, 0);
  if (certificate == nullptr || certificate->pCert == nullptr) return {};
  return SubjectName(certificate->pCert);
}

SignatureState StateOf(LONG status) {
  switch (status) {
    case ERROR_SUCCESS:
      return SignatureState::Valid;
    case TRUST_E_NOSIGNATURE:
    case TRUST_E_SUBJECT_FORM_UNKNOWN:
    case TRUST_E_PROVIDER_UNKNOWN:
      return SignatureState::Unsigned;
    default:
      return SignatureState::Invalid;
  }
}

// Authenticode verification without any user interface. Revocation is not
// checked: it would need the network at every start, and a check that cannot
// reach its lists would refuse every update.
CodeSignature Inspect(const std::wstring& path) {
  WINTRUST_FILE_INFO file{};
  file.cbStruct = sizeof file;
  file.pcwszFilePath = path.c_str();

  WINTRUST_DATA data{};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;

  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  HWND noWindow = static_cast<HWND>(INVALID_HANDLE_VALUE);
  CodeSignature signature;
  signature.state = StateOf(WinVerifyTrust(noWindow, &action, &data));
  if (signature.state == SignatureState::Valid) {
    std::wstring publisher = TrustedSignerName(data.hWVTStateData);
    // A signature whose signer is untrusted or nameless identifies nobody.
    if (publisher.empty()) signature.state = SignatureState::Invalid;
    signature.publisher = Utf8FromWide(publisher);
  }
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(noWindow, &action, &data);
  if (signature.state != SignatureState::Valid) signature.publisher.clear();
  return signature;
}

}  // namespace

CodeSignature SystemCodeSigning::RunningProgramSignature() {
  NativePath program = ExecutablePath();
  if (program.empty()) return {};
  return Inspect(program);
}

CodeSignature SystemCodeSigning::FileSignature(const NativePath& path) { return Inspect(path); }

}  // namespace kestro
