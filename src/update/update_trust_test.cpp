#include "update/update_trust.h"

#include <gtest/gtest.h>

#include "testing/update_fakes.h"

namespace kestro {
namespace {

const CodeSignature kSignedByUs{SignatureState::Valid, kOurPublisher};
const CodeSignature kSignedByOther{SignatureState::Valid, kOtherPublisher};
const CodeSignature kUnsigned{SignatureState::Unsigned, ""};
const CodeSignature kTampered{SignatureState::Invalid, ""};

TEST(UpdateTrustTest, OnlyOurOwnPublisherIsTrusted) {
  struct Case {
    const char* what;
    CodeSignature running;
    CodeSignature download;
    bool trusted;
  } cases[] = {
      {"signed by us", kSignedByUs, kSignedByUs, true},
      {"signed by someone else", kSignedByUs, kSignedByOther, false},
      {"unsigned download", kSignedByUs, kUnsigned, false},
      {"tampered download", kSignedByUs, kTampered, false},
      {"tampered, though it names us",
       kSignedByUs,
       {SignatureState::Invalid, kOurPublisher},
       false},
      {"publisher differing in one byte",
       kSignedByUs,
       {SignatureState::Valid, kOurPublisher + " "},
       false},
      {"unsigned running program", kUnsigned, kSignedByUs, false},
      {"unsigned running program, unsigned download", kUnsigned, kUnsigned, false},
      {"tampered running program", kTampered, kSignedByUs, false},
      {"valid but nameless on both sides",
       {SignatureState::Valid, ""},
       {SignatureState::Valid, ""},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(IsTrustedUpdate(c.running, c.download), c.trusted);
  }
}

TEST(UpdateTrustTest, AsksAboutTheGivenFile) {
  FakeCodeSigning signing;
  EXPECT_FALSE(IsTrustedUpdateFile(signing, AppendAscii({}, "/nonexistent/kestro.exe")));
  EXPECT_EQ(signing.inspected, std::vector<NativePath>{AppendAscii({}, "/nonexistent/kestro.exe")});
}

// A development build is unsigned: it never even looks at a download.
TEST(UpdateTrustTest, UnsignedRunningProgramLooksAtNothing) {
  FakeCodeSigning signing;
  signing.runningProgram = kUnsigned;
  EXPECT_FALSE(IsTrustedUpdateFile(signing, AppendAscii({}, "/nonexistent/kestro.exe")));
  EXPECT_TRUE(signing.inspected.empty());
}

}  // namespace
}  // namespace kestro
