#include "support/test_certificates.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "tls/certificate_builder.h"

namespace tracewell::testing {
namespace {

TEST(TlsTestCertificates, EachKindOfLeafVerifiesOrFailsAsNamed) {
  TempDir temp;
  const TestCertificates certificates(temp.path());
  const auto originCa = ReadCertificates(certificates.OriginCaPem());
  ASSERT_EQ(originCa.size(), 1u);
  struct Case {
    std::string name;
    LeafKind kind;
    int verified;
  };
  const Case cases[] = {
      {"origin.test", LeafKind::Good, X509_V_OK},
      {"127.0.0.1", LeafKind::Good, X509_V_OK},
      {"origin.test", LeafKind::Expired, X509_V_ERR_CERT_HAS_EXPIRED},
      {"origin.test", LeafKind::WrongName, X509_V_ERR_HOSTNAME_MISMATCH},
      {"origin.test", LeafKind::UnknownCa, X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " kind " + std::to_string(static_cast<int>(c.kind)));
    const LeafFiles files = certificates.Leaf(c.name, c.kind);
    const auto chain = ReadCertificates(files.chainPem);
    ASSERT_EQ(chain.size(), 2u);
    std::vector<X509*> pointers;
    for (const auto& certificate : chain) pointers.push_back(certificate.get());
    EXPECT_EQ(VerifyChain(pointers, originCa.front().get(), c.name), c.verified);
    const auto key = tls::PrivateKeyFromPem(ReadWholeFile(files.keyPem));
    ASSERT_TRUE(key);
    EXPECT_EQ(X509_check_private_key(chain.front().get(), key.get()), 1);
  }
}

}  // namespace
}  // namespace tracewell::testing
