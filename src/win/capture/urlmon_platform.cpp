#include "capture/urlmon_platform.h"

#include <algorithm>

#include "capture/protocol_class_factory.h"
#include "wide_text.h"

namespace tracewell::win {
namespace {

// The default handlers: CLSID_HttpProtocol and CLSID_HttpSProtocol.
constexpr CLSID kHttpHandler = {0x79EAC9E2, 0xBAF9, 0x11CE, {0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B}};
constexpr CLSID kHttpsHandler = {0x79EAC9E5, 0xBAF9, 0x11CE, {0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B}};
// In-process server and handler, local and remote server.
constexpr DWORD kHandlerContext = 0x17;

}  // namespace

void CDefaultHandlerFactory::LockServer(bool lock) {
  // A class object that cannot be locked still makes handlers; nothing to do about it.
  m_factory->LockServer(lock ? TRUE : FALSE);
}

HResult CDefaultHandlerFactory::CreateTarget(std::shared_ptr<ITargetProtocol>& target) {
  std::shared_ptr<CUrlmonTarget> urlmonTarget;
  const HResult made = CreateUrlmonTarget(urlmonTarget);
  target = std::move(urlmonTarget);
  return made;
}

HResult CDefaultHandlerFactory::CreateUrlmonTarget(std::shared_ptr<CUrlmonTarget>& target) {
  target.reset();
  ComPtr<IInternetProtocol> handler;
  const HRESULT hr = m_factory->CreateInstance(nullptr, IID_IInternetProtocol, handler.ReceiveVoid());
  if (FAILED(hr)) return HResult{hr};
  target = std::make_shared<CUrlmonTarget>(std::move(handler));
  return hr::Ok;
}

HResult CUrlmonPlatform::GetSession(tracewell::IInternetSession*& session) {
  session = nullptr;
  if (!m_session) {
    if (const HRESULT hr = CoInternetGetSession(0, m_session.Receive(), 0); FAILED(hr)) return HResult{hr};
    if (!m_session) return hr::Fail;
  }
  session = this;
  return hr::Ok;
}

HResult CUrlmonPlatform::GetDefaultHandler(std::u16string_view scheme, std::shared_ptr<ITargetFactory>& factory) {
  factory.reset();
  const CLSID& handler = scheme == u"https" ? kHttpsHandler : kHttpHandler;
  ComPtr<IClassFactory> classObject;
  const HRESULT hr = CoGetClassObject(handler, kHandlerContext, nullptr, IID_IClassFactory, classObject.ReceiveVoid());
  if (FAILED(hr)) return HResult{hr};
  auto defaults = std::make_shared<CDefaultHandlerFactory>(std::move(classObject));
  m_defaults[Wide(scheme)] = defaults;
  factory = std::move(defaults);
  return hr::Ok;
}

HResult CUrlmonPlatform::RegisterNameSpace(std::shared_ptr<CComClassFactoryProtocol> factory,
                                           std::u16string_view scheme) {
  const std::wstring name = Wide(scheme);
  const auto defaults = m_defaults.find(name);
  if (!m_session || !factory || defaults == m_defaults.end()) return hr::Unexpected;
  const CComClassFactoryProtocol* engineFactory = factory.get();
  auto classFactory = ComPtr<IClassFactory>::Adopt(CProtocolClassFactory::Create(std::move(factory), defaults->second));
  const HRESULT hr = m_session->RegisterNameSpace(classFactory.Get(), CLSID_NULL, name.c_str(), 0, nullptr, 0);
  if (FAILED(hr)) return HResult{hr};
  m_registrations.push_back({engineFactory, name, std::move(classFactory)});
  return hr::Ok;
}

HResult CUrlmonPlatform::UnregisterNameSpace(const CComClassFactoryProtocol& factory, std::u16string_view scheme) {
  const std::wstring name = Wide(scheme);
  const auto found = std::find_if(m_registrations.begin(), m_registrations.end(), [&](const Registration& r) {
    return r.engineFactory == &factory && r.scheme == name;
  });
  if (!m_session || found == m_registrations.end()) return hr::Unexpected;
  const HRESULT hr = m_session->UnregisterNameSpace(found->classFactory.Get(), name.c_str());
  m_registrations.erase(found);
  m_defaults.erase(name);
  return HResult{hr};
}

// A session that implements no such option (Wine's implements none) has nothing to
// switch: the namespace handlers work without it, so that is no failure.
HResult CUrlmonPlatform::SetSessionOption(std::uint32_t option, std::uint32_t value) {
  if (!m_session) return hr::Unexpected;
  DWORD data = value;
  const HRESULT hr = m_session->SetSessionOption(option, &data, sizeof(data), 0);
  return HResult{hr == E_NOTIMPL ? S_OK : hr};
}

}  // namespace tracewell::win
