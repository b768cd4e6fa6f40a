#pragma once
// The capture engine's platform on Windows: the process's urlmon internet session,
// the default http and https handlers' class objects, and our namespace handlers
// registered there while recording is on.

#include <windows.h>

#include <urlmon.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "capture/capture_registration.h"
#include "capture/urlmon_target.h"
#include "com_ptr.h"

namespace tracewell::win {

// The default handler's class object for one scheme.
class CDefaultHandlerFactory final : public ITargetFactory {
 public:
  explicit CDefaultHandlerFactory(ComPtr<IClassFactory> factory) : m_factory(std::move(factory)) {}
  void LockServer(bool lock) override;
  HResult CreateTarget(std::shared_ptr<ITargetProtocol>& target) override;
  // A fresh default handler, as the urlmon-side target it is.
  HResult CreateUrlmonTarget(std::shared_ptr<CUrlmonTarget>& target);

 private:
  ComPtr<IClassFactory> m_factory;
};

class CUrlmonPlatform final : public IProtocolPlatform, public tracewell::IInternetSession {
 public:
  CUrlmonPlatform() = default;
  ~CUrlmonPlatform() override = default;
  CUrlmonPlatform(const CUrlmonPlatform&) = delete;
  CUrlmonPlatform& operator=(const CUrlmonPlatform&) = delete;

  // IProtocolPlatform
  HResult GetSession(tracewell::IInternetSession*& session) override;
  HResult GetDefaultHandler(std::u16string_view scheme, std::shared_ptr<ITargetFactory>& factory) override;
  // IInternetSession
  HResult RegisterNameSpace(std::shared_ptr<CComClassFactoryProtocol> factory,
                            std::u16string_view scheme) override;
  HResult UnregisterNameSpace(const CComClassFactoryProtocol& factory, std::u16string_view scheme) override;
  HResult SetSessionOption(std::uint32_t option, std::uint32_t value) override;

 private:
  struct Registration {
    const CComClassFactoryProtocol* engineFactory;
    std::wstring scheme;
    ComPtr<IClassFactory> classFactory;
  };

  ComPtr<::IInternetSession> m_session;
  // The default handlers handed to the engine, by scheme, for the namespace handlers.
  std::map<std::wstring, std::shared_ptr<CDefaultHandlerFactory>> m_defaults;
  std::vector<Registration> m_registrations;
};

}  // namespace tracewell::win
