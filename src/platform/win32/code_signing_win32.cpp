#include <windows.h>
// after windows.h, which they need
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>
// and for the public key's hash
#include <bcrypt.h>

#include <string>
#include <string_view>
#include <vector>

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

// The publisher's name is kept exactly: GBK would turn every character it
// lacks into '?'.
std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return {};
  int size = static_cast<int>(wide.size());
  int count = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(count), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), count, nullptr, nullptr);
  return utf8;
}

// Revocation is not checked (see Inspect), so its being unknown is the one
// fault of the chain that is accepted. Windows' own policy refuses the
// others; Wine's (8.0) accepts a self-signed signer, a chain to an unknown
// root and expired certificates, so everything is checked here again.
constexpr DWORD kAcceptedChainFaults =
    CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;

bool TimeValid(const CERT_CONTEXT* certificate, FILETIME when) {
  return CertVerifyTimeValidity(&when, certificate->pCertInfo) == 0;
}

// A certificate without the usage extension may be used for anything.
bool AllowsCodeSigning(const CERT_CONTEXT* certificate) {
  DWORD size = 0;
  if (!CertGetEnhancedKeyUsage(certificate, 0, nullptr, &size)) {
    return GetLastError() == static_cast<DWORD>(CRYPT_E_NOT_FOUND);
  }
  std::vector<unsigned char> buffer(size);
  auto* usage = reinterpret_cast<CERT_ENHKEY_USAGE*>(buffer.data());
  if (!CertGetEnhancedKeyUsage(certificate, 0, usage, &size)) return false;
  if (usage->cUsageIdentifier == 0) return GetLastError() == static_cast<DWORD>(CRYPT_E_NOT_FOUND);
  for (DWORD i = 0; i < usage->cUsageIdentifier; ++i) {
    if (std::string_view(usage->rgpszUsageIdentifier[i]) == szOID_PKIX_KP_CODE_SIGNING) return true;
  }
  return false;
}

// An issuer must say it is a certificate authority; only a root the system
// trusts may say nothing.
bool IsAuthority(const CERT_CONTEXT* certificate, bool root) {
  CERT_EXTENSION* extension =
      CertFindExtension(szOID_BASIC_CONSTRAINTS2, certificate->pCertInfo->cExtension,
                        certificate->pCertInfo->rgExtension);
  if (extension == nullptr) return root;
  CERT_BASIC_CONSTRAINTS2_INFO constraints{};
  DWORD size = sizeof constraints;
  if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_BASIC_CONSTRAINTS2, extension->Value.pbData,
                           extension->Value.cbData, 0, nullptr, &constraints, &size)) {
    return false;
  }
  return constraints.fCA != FALSE;
}

// SHA-256 of the certificate's SubjectPublicKeyInfo in lower-case hex, as
// `openssl pkey -pubin -outform DER | sha256sum` gives it; "" on failure.
std::string PublicKeyHash(const CERT_CONTEXT* certificate) {
  BYTE* encoded = nullptr;
  DWORD encodedSize = 0;
  if (!CryptEncodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO,
                           &certificate->pCertInfo->SubjectPublicKeyInfo, CRYPT_ENCODE_ALLOC_FLAG,
                           nullptr, &encoded, &encodedSize)) {
    return {};
  }
  unsigned char digest[32] = {};
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool done = BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) == 0 &&
              BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0 &&
              BCryptHashData(hash, encoded, encodedSize, 0) == 0 &&
              BCryptFinishHash(hash, digest, sizeof digest, 0) == 0;
  if (hash) BCryptDestroyHash(hash);
  if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
  LocalFree(encoded);
  if (!done) return {};
  std::string hex;
  for (unsigned char byte : digest) {
    hex += "0123456789abcdef"[byte >> 4];
    hex += "0123456789abcdef"[byte & 0xF];
  }
  return hex;
}

// The first signer of a file WinVerifyTrust accepted, when its chain holds
// strictly; nullptr when it does not.
const CERT_CONTEXT* StrictlyTrustedSigner(HANDLE stateData) {
  CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(stateData);
  if (provider == nullptr) return nullptr;
  CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
  if (signer == nullptr || signer->pChainContext == nullptr) return nullptr;
  const CERT_CHAIN_CONTEXT* chain = signer->pChainContext;
  if (chain->TrustStatus.dwErrorStatus & ~kAcceptedChainFaults) return nullptr;
  if (chain->cChain == 0 || chain->rgpChain[0]->cElement == 0) return nullptr;
  const CERT_SIMPLE_CHAIN* path = chain->rgpChain[0];
  // As of the signature's time stamp, or now when it has none.
  FILETIME when = signer->sftVerifyAsOf;
  for (DWORD i = 0; i < path->cElement; ++i) {
    const CERT_CONTEXT* certificate = path->rgpElement[i]->pCertContext;
    if (!TimeValid(certificate, when)) return nullptr;
    if (i > 0 && !IsAuthority(certificate, i + 1 == path->cElement)) return nullptr;
  }
  const CERT_CONTEXT* leaf = path->rgpElement[0]->pCertContext;
  return AllowsCodeSigning(leaf) ? leaf : nullptr;
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

// Authenticode verification without any user interface, of the file at the
// path or (with a handle) of the file the handle holds. Revocation is not
// checked: it would need the network at every start, and a check that cannot
// reach its lists would refuse every update.
CodeSignature Inspect(const std::wstring& path, HANDLE handle = nullptr) {
  WINTRUST_FILE_INFO file{};
  file.cbStruct = sizeof file;
  file.pcwszFilePath = path.c_str();
  file.hFile = handle;

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
    const CERT_CONTEXT* signer = StrictlyTrustedSigner(data.hWVTStateData);
    if (signer != nullptr) {
      signature.publisher = Utf8FromWide(SubjectName(signer));
      signature.signerKey = PublicKeyHash(signer);
    }
    // A signer not vouched for, or whose key is unknown, identifies nobody.
    if (signature.signerKey.empty()) signature.state = SignatureState::Invalid;
  }
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(noWindow, &action, &data);
  if (signature.state != SignatureState::Valid) signature = {signature.state, {}, {}};
  return signature;
}

}  // namespace

CodeSignature SystemCodeSigning::RunningProgramSignature() {
  NativePath program = ExecutablePath();
  if (program.empty()) return {};
  return Inspect(program);
}

CodeSignature SystemCodeSigning::FileSignature(const NativePath& path) { return Inspect(path); }

CodeSignature SystemCodeSigning::HeldFileSignature(const HeldFile& file) {
  return Inspect(file.path(), file.SystemHandle());
}

}  // namespace kestro
