#pragma once
// Switching capture on and off: a class factory per scheme ("http" and "https") that
// wraps each new request of the platform's default handler in a pass-through
// object, registered with the platform's internet session while recording is on.

#include <memory>
#include <string_view>

#include "capture/http_handler.h"

namespace tracewell {

class CComClassFactoryProtocol;

// The platform's internet session of this process.
class IInternetSession {
 public:
  virtual ~IInternetSession() = default;
  virtual HResult RegisterNameSpace(std::shared_ptr<CComClassFactoryProtocol> factory,
                                    std::u16string_view scheme) = 0;
  virtual HResult UnregisterNameSpace(const CComClassFactoryProtocol& factory,
                                      std::u16string_view scheme) = 0;
  virtual HResult SetSessionOption(std::uint32_t option, std::uint32_t value) = 0;
};

// What registering needs of the platform.
class IProtocolPlatform {
 public:
  virtual ~IProtocolPlatform() = default;
  // The session; a failure code, or a null session with success.
  virtual HResult GetSession(IInternetSession*& session) = 0;
  // The default handler's class object for "http" or "https".
  virtual HResult GetDefaultHandler(std::u16string_view scheme,
                                    std::shared_ptr<ITargetFactory>& factory) = 0;
};

// Services every pass-through object of a capture uses.
struct CaptureServices {
  const IClock& clock;
  ICacheStore& cacheStore;
};

class CComClassFactoryProtocol {
 public:
  // Locks the target factory for as long as this factory lives.
  CComClassFactoryProtocol(std::shared_ptr<ITargetFactory> target,
                           std::shared_ptr<ICaptureNotifier> notifier, CaptureServices services);
  ~CComClassFactoryProtocol();
  CComClassFactoryProtocol(const CComClassFactoryProtocol&) = delete;
  CComClassFactoryProtocol& operator=(const CComClassFactoryProtocol&) = delete;

  // A pass-through object around a new target, notifying this factory's window.
  HResult CreateInstance(std::shared_ptr<CHttpHandlerAPP>& object);
  // The same around a target that the protocol layer made itself (a proxy exchange
  // already tied to its connections), asking `cacheStore` (null: the services')
  // for the entry before and after.
  HResult CreateInstance(std::shared_ptr<ITargetProtocol> target,
                         std::shared_ptr<CHttpHandlerAPP>& object, ICacheStore* cacheStore = nullptr);

 private:
  std::shared_ptr<ITargetFactory> m_target;
  std::shared_ptr<ICaptureNotifier> m_notifier;
  CaptureServices m_services;
};

inline constexpr std::uint32_t kSessionOptionCapture = 64;

class CCaptureRegistration {
 public:
  CCaptureRegistration(IProtocolPlatform& platform, CaptureServices services)
      : m_platform(platform), m_services(services) {}

  // Registers both schemes, or on any failure neither; a second Start while
  // recording changes nothing.
  HResult StartCapture(std::shared_ptr<ICaptureNotifier> notifier);
  HResult StopCapture();
  bool IsCapturing() const { return m_http != nullptr; }

 private:
  IProtocolPlatform& m_platform;
  CaptureServices m_services;
  std::shared_ptr<CComClassFactoryProtocol> m_http;
  std::shared_ptr<CComClassFactoryProtocol> m_https;
};

}  // namespace tracewell
