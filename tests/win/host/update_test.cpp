// Help > Check for Update from the band: the version file fetched from an update site
// on 127.0.0.1, the answer as a message box, and on Yes the update page in the browser
// with the bar hidden.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "band_fixture.h"
#include "loopback_origin.h"
#include "dialog_answer.h"

namespace tracewell::win::test {
namespace {

constexpr WORD kCommandCheckForUpdate = 32788;
constexpr wchar_t kCaption[] = L"Application update";
constexpr wchar_t kNewerFound[] = L"Newer version found.do you want to visit the update page for new version.";
constexpr wchar_t kNoNewer[] =
    L"Newer version not found.You actually are using most recent version of this Application.";
constexpr wchar_t kBandClassId[] = L"{5D2E8C41-7A3B-4F19-9C6E-2B4A7D1E3F58}";

class UpdateTest : public SitedBandTest {
 protected:
  void TearDown() override {
    SetEnvironmentVariableW(L"TRACEWELL_UPDATE_SITE", nullptr);
    SitedBandTest::TearDown();
  }

  // Runs the command against the update site `site`, answering its box with `button`;
  // the box's text.
  std::wstring CheckForUpdate(const std::wstring& site, int button) {
    SetEnvironmentVariableW(L"TRACEWELL_UPDATE_SITE", site.c_str());
    CDialogAnswer answer(kCaption, button);
    Command(kCommandCheckForUpdate);
    return answer.Text();
  }
};

TEST_F(UpdateTest, NewerVersionOnYesHidesTheBarAndShowsTheUpdatePage) {
  CLoopbackOrigin origin(1);
  EXPECT_EQ(kNewerFound, CheckForUpdate(origin.Url(L"/newer"), IDYES));
  ASSERT_EQ(1u, origin.RequestHeads().size());
  const std::string head = origin.RequestHeads()[0];
  EXPECT_EQ(0u, head.find("GET /newer/version.txt HTTP/1.1\r\n")) << head;
  EXPECT_NE(std::string::npos, head.find("\r\nUser-Agent: Microsoft Internet Explorer\r\n")) << head;
  ASSERT_EQ(1u, m_browser.barRequests.size());
  EXPECT_EQ(kBandClassId, m_browser.barRequests[0].bar);
  EXPECT_FALSE(m_browser.barRequests[0].show);
  EXPECT_EQ((std::vector<std::wstring>{origin.Url(L"/newer/update.html")}), m_browser.navigations);
}

TEST_F(UpdateTest, NewerVersionOnNoChangesNothing) {
  CLoopbackOrigin origin(1);
  EXPECT_EQ(kNewerFound, CheckForUpdate(origin.Url(L"/newer"), IDNO));
  EXPECT_TRUE(m_browser.barRequests.empty());
  EXPECT_TRUE(m_browser.navigations.empty());
}

TEST_F(UpdateTest, SameVersionOrNoSiteIsTheUpToDateMessage) {
  CLoopbackOrigin origin(1);
  EXPECT_EQ(kNoNewer, CheckForUpdate(origin.Url(L"/same"), IDOK));
  EXPECT_EQ(1u, origin.RequestHeads().size());
  EXPECT_EQ(kNoNewer, CheckForUpdate(L"http://127.0.0.1:" + std::to_wstring(RefusingPort()), IDOK));
  EXPECT_TRUE(m_browser.navigations.empty());
}

}  // namespace
}  // namespace tracewell::win::test
