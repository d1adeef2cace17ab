#include "update/update_trust.h"

#include <gtest/gtest.h>

#include "testing/update_fakes.h"

namespace kestro {
namespace {

const std::string kOurKey(64, 'a');
const std::string kNextKey(64, 'b');
const CodeSignature kSignedByUs{SignatureState::Valid, kOurPublisher, kOurKey};
const CodeSignature kUnsigned{SignatureState::Unsigned};
const CodeSignature kTampered{SignatureState::Invalid};

// Only a known key makes a download trusted: the running program's own, or
// a successor the build names; the publisher's name counts for nothing.
TEST(UpdateTrustTest, OnlyAKnownKeyIsTrusted) {
  struct Case {
    const char* what;
    CodeSignature running;
    CodeSignature download;
    SignerKeys successors;
    bool trusted;
  } cases[] = {
      {"signed with our key", kSignedByUs, kSignedByUs, {}, true},
      {"our name, another key",
       kSignedByUs,
       {SignatureState::Valid, kOurPublisher, kNextKey},
       {},
       false},
      {"another name, our key",
       kSignedByUs,
       {SignatureState::Valid, kOtherPublisher, kOurKey},
       {},
       true},
      {"a successor key the build names",
       kSignedByUs,
       {SignatureState::Valid, kOurPublisher, kNextKey},
       {std::string(64, 'c'), kNextKey},
       true},
      {"unsigned download", kSignedByUs, kUnsigned, {kOurKey}, false},
      {"tampered, though it holds our key",
       kSignedByUs,
       {SignatureState::Invalid, kOurPublisher, kOurKey},
       {},
       false},
      {"unsigned running program", kUnsigned, kSignedByUs, {kOurKey}, false},
      {"tampered running program", kTampered, kSignedByUs, {}, false},
      {"valid but keyless on both sides",
       {SignatureState::Valid, kOurPublisher, ""},
       {SignatureState::Valid, kOurPublisher, ""},
       {""},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(IsTrustedUpdate(c.running, c.download, c.successors), c.trusted);
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
