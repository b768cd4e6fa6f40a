#include "capture/capture_registration.h"

#include <gtest/gtest.h>

#include <set>

#include "core/capture/fake_protocol.h"

namespace tracewell {
namespace {

class FakeTargetFactory final : public ITargetFactory {
 public:
  int locks = 0;
  HResult createResult = hr::Ok;
  void LockServer(bool lock) override { locks += lock ? 1 : -1; }
  HResult CreateTarget(std::shared_ptr<ITargetProtocol>& target) override {
    if (!createResult.Failed()) target = std::make_shared<testing::FakeTarget>();
    return createResult;
  }
};

class FakeSession final : public IInternetSession {
 public:
  std::set<std::u16string> registered;
  std::vector<std::uint32_t> optionValues;
  std::u16string failRegistering;
  std::vector<std::shared_ptr<CComClassFactoryProtocol>> held;

  HResult RegisterNameSpace(std::shared_ptr<CComClassFactoryProtocol> factory,
                            std::u16string_view scheme) override {
    if (scheme == failRegistering) return hr::Fail;
    registered.emplace(scheme);
    held.push_back(std::move(factory));
    return hr::Ok;
  }
  HResult UnregisterNameSpace(const CComClassFactoryProtocol& factory,
                              std::u16string_view scheme) override {
    std::erase_if(held, [&](const auto& f) { return f.get() == &factory; });
    return registered.erase(std::u16string(scheme)) ? hr::Ok : hr::Fail;
  }
  HResult SetSessionOption(std::uint32_t option, std::uint32_t value) override {
    EXPECT_EQ(option, kSessionOptionCapture);
    optionValues.push_back(value);
    return hr::Ok;
  }
};

class FakePlatform final : public IProtocolPlatform {
 public:
  FakeSession session;
  std::shared_ptr<FakeTargetFactory> http = std::make_shared<FakeTargetFactory>();
  std::shared_ptr<FakeTargetFactory> https = std::make_shared<FakeTargetFactory>();
  bool httpsMissing = false;

  HResult GetSession(IInternetSession*& out) override {
    out = &session;
    return hr::Ok;
  }
  HResult GetDefaultHandler(std::u16string_view scheme,
                            std::shared_ptr<ITargetFactory>& factory) override {
    if (scheme == u"https" && httpsMissing) return hr::NoInterface;
    factory = scheme == u"http" ? http : https;
    return hr::Ok;
  }
};

struct Capture {
  testing::FakeClock clock = testing::FakeClock::Ticking();
  testing::FakeCacheStore cache;
  FakePlatform platform;
  CCaptureRegistration registration{platform, {clock, cache}};
  std::shared_ptr<CCaptureQueue> queue = std::make_shared<CCaptureQueue>();
};

TEST(CaptureRegistration, StartRegistersBothSchemesOnceAndStopUndoesIt) {
  Capture c;
  EXPECT_EQ(c.registration.StartCapture(c.queue), hr::Ok);
  EXPECT_EQ(c.registration.StartCapture(c.queue), hr::Ok);
  EXPECT_EQ(c.platform.session.registered, (std::set<std::u16string>{u"http", u"https"}));
  EXPECT_EQ(c.platform.session.held.size(), 2u);
  EXPECT_EQ(c.platform.session.optionValues, (std::vector<std::uint32_t>{0}));
  EXPECT_EQ(c.platform.http->locks, 1);
  EXPECT_TRUE(c.registration.IsCapturing());

  EXPECT_EQ(c.registration.StopCapture(), hr::Ok);
  EXPECT_TRUE(c.platform.session.registered.empty());
  EXPECT_EQ(c.platform.session.optionValues, (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(c.platform.http->locks, 0);
  EXPECT_EQ(c.platform.https->locks, 0);
  EXPECT_FALSE(c.registration.IsCapturing());
}

TEST(CaptureRegistration, AnyFailureLeavesNothingRegistered) {
  {
    Capture c;
    c.platform.httpsMissing = true;
    EXPECT_EQ(c.registration.StartCapture(c.queue), hr::NoInterface);
    EXPECT_TRUE(c.platform.session.registered.empty());
    EXPECT_EQ(c.platform.http->locks, 0);
  }
  {
    Capture c;
    c.platform.session.failRegistering = u"https";
    EXPECT_EQ(c.registration.StartCapture(c.queue), hr::Fail);
    EXPECT_TRUE(c.platform.session.registered.empty());
    EXPECT_FALSE(c.registration.IsCapturing());
    EXPECT_EQ(c.platform.session.optionValues.back(), 1u);
  }
}

TEST(CaptureRegistration, FactoryWrapsEachNewTarget) {
  Capture c;
  ASSERT_EQ(c.registration.StartCapture(c.queue), hr::Ok);
  auto& factory = *c.platform.session.held.front();
  std::shared_ptr<CHttpHandlerAPP> object;
  ASSERT_EQ(factory.CreateInstance(object), hr::Ok);
  testing::FakeBrowser browser;
  EXPECT_EQ(object->Start(u"http://127.0.0.1/", &browser, &browser, 0), hr::Ok);
  EXPECT_EQ(c.queue->TakeAll().size(), 1u);  // announced to the factory's window

  c.platform.http->createResult = hr::Fail;
  EXPECT_EQ(factory.CreateInstance(object), hr::Fail);
  EXPECT_EQ(object, nullptr);
}

TEST(CaptureRegistration, ALayersOwnCacheStoreAnswersItsSnapshots) {
  Capture c;
  ASSERT_EQ(c.registration.StartCapture(c.queue), hr::Ok);
  const std::u16string url = u"http://127.0.0.1/a.css";
  c.cache.entries[url].SourceUrlName = u"registration's";
  testing::FakeCacheStore layers;
  layers.entries[url].SourceUrlName = u"layer's";
  auto& factory = *c.platform.session.held.front();
  testing::FakeBrowser browser;
  for (ICacheStore* store : {static_cast<ICacheStore*>(nullptr), static_cast<ICacheStore*>(&layers)}) {
    std::shared_ptr<CHttpHandlerAPP> object;
    ASSERT_EQ(factory.CreateInstance(std::make_shared<testing::FakeTarget>(), object, store), hr::Ok);
    ASSERT_EQ(object->Start(url, &browser, &browser, 0), hr::Ok);
    const auto messages = c.queue->TakeAll();
    ASSERT_EQ(messages.size(), 1u);
    const auto& before = messages.front().values.m_pCacheInfoBefore;
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(before->SourceUrlName, store == nullptr ? u"registration's" : u"layer's");
  }
}

}  // namespace
}  // namespace tracewell
