#include "capture/capture_registration.h"

namespace tracewell {

CComClassFactoryProtocol::CComClassFactoryProtocol(std::shared_ptr<ITargetFactory> target,
                                                   std::shared_ptr<ICaptureNotifier> notifier,
                                                   CaptureServices services)
    : m_target(std::move(target)), m_notifier(std::move(notifier)), m_services(services) {
  m_target->LockServer(true);
}

CComClassFactoryProtocol::~CComClassFactoryProtocol() { m_target->LockServer(false); }

HResult CComClassFactoryProtocol::CreateInstance(std::shared_ptr<CHttpHandlerAPP>& object) {
  object.reset();
  std::shared_ptr<ITargetProtocol> target;
  if (const HResult created = m_target->CreateTarget(target); created.Failed()) return created;
  return CreateInstance(std::move(target), object);
}

HResult CComClassFactoryProtocol::CreateInstance(std::shared_ptr<ITargetProtocol> target,
                                                 std::shared_ptr<CHttpHandlerAPP>& object,
                                                 ICacheStore* cacheStore) {
  object.reset();
  auto made = std::make_shared<CHttpHandlerAPP>(
      m_services.clock, cacheStore != nullptr ? *cacheStore : m_services.cacheStore);
  if (const HResult set = made->SetTarget(std::move(target)); set.Failed()) return set;
  made->SetNotifyWindow(m_notifier);
  object = std::move(made);
  return hr::Ok;
}

HResult CCaptureRegistration::StartCapture(std::shared_ptr<ICaptureNotifier> notifier) {
  if (IsCapturing()) return hr::Ok;
  IInternetSession* session = nullptr;
  HResult result = m_platform.GetSession(session);
  if (result.Failed() || session == nullptr) {
    StopCapture();
    return result.Failed() ? result : hr::Fail;
  }
  auto makeFactory = [&](std::u16string_view scheme, std::shared_ptr<CComClassFactoryProtocol>& out) {
    std::shared_ptr<ITargetFactory> target;
    result = m_platform.GetDefaultHandler(scheme, target);
    if (!result.Failed() && !target) result = hr::Fail;
    if (!result.Failed()) {
      out = std::make_shared<CComClassFactoryProtocol>(std::move(target), notifier, m_services);
    }
    return !result.Failed();
  };
  std::shared_ptr<CComClassFactoryProtocol> http;
  std::shared_ptr<CComClassFactoryProtocol> https;
  if (!makeFactory(u"http", http) || !makeFactory(u"https", https)) {
    StopCapture();
    return result;
  }
  m_http = http;
  m_https = https;
  if ((result = session->RegisterNameSpace(m_http, u"http")).Failed() ||
      (result = session->RegisterNameSpace(m_https, u"https")).Failed() ||
      (result = session->SetSessionOption(kSessionOptionCapture, 0)).Failed()) {
    StopCapture();
    return result;
  }
  return hr::Ok;
}

HResult CCaptureRegistration::StopCapture() {
  IInternetSession* session = nullptr;
  const HResult result = m_platform.GetSession(session);
  if (result.Failed()) return result;
  if (session == nullptr) return hr::Fail;
  if (m_http) session->UnregisterNameSpace(*m_http, u"http");
  m_http.reset();
  if (m_https) session->UnregisterNameSpace(*m_https, u"https");
  m_https.reset();
  session->SetSessionOption(kSessionOptionCapture, 1);
  return hr::Ok;
}

}  // namespace tracewell
