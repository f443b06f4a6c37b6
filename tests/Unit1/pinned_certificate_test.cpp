// Pinned certificates against the test TLS front: a certificate whose
// fingerprint was given passes without a question, whatever its chain says; one
// that matches none is refused without a question, even when it is verified,
// and nothing is sent.
#include <QCheckBox>
#include <cstdlib>
#include <sstream>

#include "Unit1/certificate_dialog.h"
#include "tests/Unit1/form_fixture.h"
#include "tests/support/test_certificates.h"
#include "tests/support/tls_front.h"

namespace unit1 {
namespace {

using testsupport::TestCertificates;
using testsupport::TlsFront;
using testsupport::WaitUntil;

constexpr const char* kRefusal =
    "The server's certificate matches none of the trusted fingerprints: ";
constexpr const char* kOtherFingerprint =
    "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF";

class PinnedCertificateTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    setenv("SSL_CERT_FILE", certificates_.CaFile().c_str(), 1);
  }
  // Connected from the command line, up to the end of the handshake.
  void ConnectTrusting(std::uint16_t port, const QString& fingerprint) {
    const std::uint64_t first = form_.RawLog.EndNumber();
    std::istringstream no_input;
    const TCommandLine line = ParseCommandLine(
        {"ircclient", QString("ircs://127.0.0.1:%1").arg(port), "--trust", fingerprint}, no_input);
    ASSERT_EQ(line.Action, TCommandLine::kStart) << line.Text;
    form_.ApplyStartSettings(line.Settings);
    ASSERT_TRUE(WaitUntil([&] {
      const std::vector<std::string> raw = Raw(first);
      return std::any_of(raw.begin(), raw.end(), [](const std::string& note) {
        return note.starts_with("- SHA-256 fingerprint ");
      });
    }));
  }
  // The fingerprint the refusal names, once the window is back at Connect.
  std::string Refused() {
    EXPECT_TRUE(BackAtConnect());
    for (const std::string& line : LogLines()) {
      if (line.starts_with(kRefusal)) return line.substr(std::string(kRefusal).size());
    }
    return "";
  }
  bool Asked() const { return form_.findChild<TCertificateDialog*>() != nullptr; }

  TestCertificates certificates_;
};

TEST_F(PinnedCertificateTest, OnlyAPinnedCertificatePassesAndNoneIsAskedAbout) {
  TlsFront front(certificates_.SelfSigned(), server_.Port());
  ConnectTrusting(front.Port(), kOtherFingerprint);
  const std::string fingerprint = Refused();
  EXPECT_FALSE(Asked());
  EXPECT_FALSE(server_.HasLine());
  // The refusal names the certificate's own fingerprint, the one the raw log noted.
  ASSERT_TRUE(Contains(
      Raw(), "- SHA-256 fingerprint " + fingerprint + ", not verified: self-signed certificate"));

  // Pinned, written in lower case without colons: accepted without a question.
  ConnectTrusting(front.Port(), QString::fromStdString(fingerprint).remove(':').toLower());
  EXPECT_EQ(NextLine(), "PASS Mossel");
  EXPECT_FALSE(Asked());
  EXPECT_TRUE(Contains(Raw(), "- Certificate pinned on the command line: accepted"));
}

TEST_F(PinnedCertificateTest, AVerifiedCertificateThatMatchesNoneIsRefusedToo) {
  TlsFront front(certificates_.Trusted(), server_.Port());
  ConnectTrusting(front.Port(), kOtherFingerprint);
  const std::string fingerprint = Refused();
  EXPECT_NE(fingerprint, "");
  // Refused is the end of it: no connect event after the connection was closed.
  EXPECT_EQ(Raw().back(), "- " + std::string(kRefusal) + fingerprint);
  EXPECT_FALSE(Asked());
  EXPECT_FALSE(server_.HasLine());
}

}  // namespace
}  // namespace unit1
