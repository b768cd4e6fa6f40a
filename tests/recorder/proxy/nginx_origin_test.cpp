// A stock origin server: nginx from Debian's archive on a free loopback port, serving
// files from a temporary directory, reached through the recorder with curl.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "recorder_harness.h"
#include "support/temp_dir.h"

namespace tracewell::testing {
namespace {

unsigned short FreePort() {
  proxy::asio::io_context io;
  proxy::tcp::acceptor probe(io, {proxy::asio::ip::address_v4::loopback(), 0});
  return probe.local_endpoint().port();
}

class NginxOrigin {
 public:
  explicit NginxOrigin(const TempDir& dir) : m_port(FreePort()) {
    std::filesystem::create_directories(dir / "www");
    WriteWholeFile(dir / "www" / "index.html", "<h1>nginx</h1>\n");
    WriteWholeFile(dir / "www" / "style.css", "h1 { color: red }\n");
    const std::string root = dir.path().string();
    WriteWholeFile(dir / "nginx.conf",
                   "daemon off; master_process off; worker_processes 1;\n"
                   "error_log " + root + "/error.log; pid " + root + "/nginx.pid;\n"
                   "events { worker_connections 64; }\n"
                   "http { access_log off; include /etc/nginx/mime.types;\n"
                   "  server { listen 127.0.0.1:" + std::to_string(m_port) +
                   "; root " + root + "/www; } }\n");
    m_pid = fork();
    if (m_pid == 0) {
      execlp("nginx", "nginx", "-p", root.c_str(), "-c", (root + "/nginx.conf").c_str(),
             static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int attempt = 0; attempt < 100 && !Accepts(); ++attempt) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~NginxOrigin() {
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
  }
  std::string Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
  }
  bool Accepts() const {
    proxy::asio::io_context io;
    proxy::tcp::socket socket(io);
    proxy::error_code ec;
    socket.connect({proxy::asio::ip::address_v4::loopback(), m_port}, ec);
    return !ec;
  }

 private:
  unsigned short m_port;
  pid_t m_pid;
};

TEST(RecorderWithNginx, StaticFilesNotFoundAndNotModified) {
  TempDir dir;
  NginxOrigin nginx(dir);
  ASSERT_TRUE(nginx.Accepts()) << "nginx did not start";
  RecorderHarness harness;
  EXPECT_EQ(Curl(harness.ProxyAddress(), nginx.Url("/index.html")).output, "<h1>nginx</h1>\n");
  Curl(harness.ProxyAddress(), nginx.Url("/style.css"));
  Curl(harness.ProxyAddress(), nginx.Url("/missing"));
  // The file's own time, which nginx needs to match exactly to answer 304.
  Curl(harness.ProxyAddress(), "-z " + (dir / "www" / "index.html").string() + " " + nginx.Url("/index.html"));
  const auto& records = harness.WaitForFinished(4);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0]->m_strResult, u"200");
  EXPECT_EQ(records[0]->m_strMimeType, u"text/html");
  EXPECT_EQ(records[0]->m_nSize, 15);
  EXPECT_TRUE(records[0]->m_strResponseHeaders.starts_with(u"HTTP/1.1 200 OK\r\nServer: nginx"));
  EXPECT_EQ(records[1]->m_strMimeType, u"text/css");
  EXPECT_EQ(records[2]->m_strResult, u"404");
  EXPECT_EQ(records[3]->m_strResult, u"304");
  EXPECT_EQ(records[3]->m_nSize, 0);
}

}  // namespace
}  // namespace tracewell::testing
