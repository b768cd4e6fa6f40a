// Clients from another machine: a network namespace of the test's own, joined to this
// one by a veth pair in 198.18.0.0/15 (the range set aside for such tests), with curl
// run inside it. Needs root to make the namespace; skipped with a line without it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "recorder_harness.h"
#include "support/test_origin.h"

namespace tracewell::testing {
namespace {

int Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// A new veth end carries traffic only once its link is up: up to 5 s.
bool WaitUntilUp(const std::string& link, const std::string& in) {
  for (int i = 0; i < 250; ++i) {
    if (Run(in + "ip -o link show " + link + " | grep -q 'state UP'") == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// A namespace holding 198.18.0.2, reaching this machine at 198.18.0.1.
class RemoteHost {
 public:
  RemoteHost() : m_name("tw" + std::to_string(getpid())), m_link("twv" + std::to_string(getpid())) {
    if (geteuid() != 0) return;
    const std::string in = "ip netns exec " + m_name + " ";
    m_ready = Run("ip netns add " + m_name) == 0 &&
              Run("ip link add " + m_link + "a type veth peer name " + m_link + "b") == 0 &&
              Run("ip link set " + m_link + "b netns " + m_name) == 0 &&
              Run("ip addr add 198.18.0.1/30 dev " + m_link + "a") == 0 &&
              Run("ip link set " + m_link + "a up") == 0 &&
              Run(in + "ip addr add 198.18.0.2/30 dev " + m_link + "b") == 0 &&
              Run(in + "ip link set " + m_link + "b up") == 0 && Run(in + "ip link set lo up") == 0 &&
              WaitUntilUp(m_link + "a", "") && WaitUntilUp(m_link + "b", in);
  }
  ~RemoteHost() {
    Run("ip link del " + m_link + "a");
    Run("ip netns del " + m_name);
  }
  bool Ready() const { return m_ready; }

  // curl in the namespace through the proxy at 198.18.0.1:`port`: the status code of
  // the response, or with `tunnel` of the answer to the CONNECT.
  std::string CurlStatus(unsigned short port, const std::string& url, bool tunnel = false) const {
    const std::string command = "ip netns exec " + m_name + " curl -sS -o /dev/null -w '" +
                                (tunnel ? "%{http_connect}' -p" : "%{http_code}'") +
                                " --max-time 10 --noproxy '' -x http://198.18.0.1:" +
                                std::to_string(port) + " " + url;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "no curl";
    char code[16] = {};
    const std::size_t got = std::fread(code, 1, sizeof code - 1, pipe);
    pclose(pipe);
    return std::string(code, got);
  }

 private:
  std::string m_name;
  std::string m_link;
  bool m_ready = false;
};

proxy::ProxyOptions RemoteClientOptions(bool allowToLoopback) {
  proxy::ProxyOptions options = TestProxyOptions();
  options.listen = proxy::tcp::endpoint(proxy::asio::ip::make_address("198.18.0.1"), 0);
  options.allowRemoteClients = true;
  options.allowRemoteToLoopback = allowToLoopback;
  return options;
}

TEST(RemoteClients, DoNotReachThisMachinesOwnServicesUnlessAllowed) {
  const RemoteHost remote;
  if (!remote.Ready()) GTEST_SKIP() << "no network namespace of our own could be made (needs root and iproute2)";
  TestOrigin origin;  // on 127.0.0.1, as a private service would be
  const std::string port = std::to_string(origin.Port());
  {
    RecorderHarness harness(RemoteClientOptions(false));
    harness.resolver.Add("origin.test", "127.0.0.1");
    EXPECT_EQ(remote.CurlStatus(harness.Port(), "http://127.0.0.1:" + port + "/hello"), "403");
    EXPECT_EQ(remote.CurlStatus(harness.Port(), "http://origin.test:" + port + "/hello"), "403");
    EXPECT_EQ(remote.CurlStatus(harness.Port(), "http://198.18.0.1:" + port + "/hello"), "403");
    // A tunnel: curl reports the proxy's answer to its CONNECT.
    EXPECT_EQ(remote.CurlStatus(harness.Port(), "http://127.0.0.1:" + port + "/hello", true), "403");
    const auto& records = harness.WaitForFinished(4);
    for (const auto& record : records) EXPECT_EQ(record->m_strResult, u"12029");
    EXPECT_TRUE(origin.Heads().empty());
  }
  RecorderHarness allowed(RemoteClientOptions(true));
  EXPECT_EQ(remote.CurlStatus(allowed.Port(), "http://127.0.0.1:" + port + "/hello"), "200");
  EXPECT_EQ(origin.Heads().size(), 1u);
}

}  // namespace
}  // namespace tracewell::testing
