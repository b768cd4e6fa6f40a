#include "tls/leaf_cache.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/temp_dir.h"

namespace tracewell::tls {
namespace {

using tracewell::testing::TempDir;

class TlsLeafCache : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_ca); }

  TempDir m_temp;
  std::unique_ptr<CCertificateAuthority> m_ca = CCertificateAuthority::LoadOrCreate(m_temp / "ca").authority;
};

TEST_F(TlsLeafCache, GivesTheSameLeafForANameInAnyCase) {
  CLeafCache cache(*m_ca);
  const auto leaf = cache.Leaf("Example.TEST");
  EXPECT_EQ(cache.Leaf("example.test"), leaf);
  EXPECT_NE(cache.Leaf("other.test"), leaf);
  EXPECT_EQ(cache.Size(), 2u);
  EXPECT_EQ(&cache.Authority(), m_ca.get());
}

TEST_F(TlsLeafCache, DropsTheLeastRecentlyUsedLeafAtCapacity) {
  CLeafCache cache(*m_ca, 3);
  const auto a = cache.Leaf("a.test");
  const auto b = cache.Leaf("b.test");
  cache.Leaf("c.test");
  cache.Leaf("a.test");  // now b is the least recently used
  cache.Leaf("d.test");
  EXPECT_EQ(cache.Size(), 3u);
  EXPECT_EQ(cache.Leaf("a.test"), a);
  EXPECT_NE(cache.Leaf("b.test"), b);  // issued again
}

TEST_F(TlsLeafCache, StaysAtCapacityForThousandsOfNames) {
  CLeafCache cache(*m_ca, 100);
  for (int i = 0; i < 5000; ++i) cache.Leaf("host" + std::to_string(i) + ".test");
  EXPECT_EQ(cache.Size(), 100u);
}

TEST_F(TlsLeafCache, ThreadsAskingForOneNameShareOneLeaf) {
  CLeafCache cache(*m_ca);
  std::vector<std::shared_ptr<X509>> leaves(8);
  {
    std::vector<std::jthread> threads;
    for (auto& leaf : leaves) threads.emplace_back([&] { leaf = cache.Leaf("shared.test"); });
  }
  for (const auto& leaf : leaves) EXPECT_EQ(leaf, leaves.front());
}

TEST_F(TlsLeafCache, RefusesNamesThatAreNoHostName) {
  CLeafCache cache(*m_ca);
  const std::string hostile[] = {"",
                                 std::string(254, 'a'),
                                 "a b.test",
                                 std::string("a\0b.test", 8),
                                 "a\r\nb.test",
                                 "a/b.test",
                                 "a,DNS:b.test",
                                 "[::1]",
                                 "caf\xC3\xA9.test"};
  for (const auto& name : hostile) {
    EXPECT_THROW(cache.Leaf(name), std::invalid_argument) << name;
  }
  EXPECT_EQ(cache.Size(), 0u);
  EXPECT_TRUE(cache.Leaf(std::string(253, 'a')));
  EXPECT_TRUE(cache.Leaf("*.wild_card-1.test"));
  EXPECT_TRUE(cache.Leaf("fe80::1"));
}

}  // namespace
}  // namespace tracewell::tls
