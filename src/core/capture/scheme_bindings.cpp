#include "capture/scheme_bindings.h"

namespace tracewell {

HResult CSchemeBindings::GetSession(IInternetSession*& session) {
  session = this;
  return hr::Ok;
}

HResult CSchemeBindings::GetDefaultHandler(std::u16string_view,
                                                 std::shared_ptr<ITargetFactory>& factory) {
  factory = std::shared_ptr<ITargetFactory>(std::shared_ptr<void>(), this);  // not owned
  return hr::Ok;
}

HResult CSchemeBindings::RegisterNameSpace(std::shared_ptr<CComClassFactoryProtocol> factory,
                                                 std::u16string_view scheme) {
  const std::lock_guard lock(m_mutex);
  m_factories[std::u16string(scheme)] = std::move(factory);
  return hr::Ok;
}

HResult CSchemeBindings::UnregisterNameSpace(const CComClassFactoryProtocol& factory,
                                                   std::u16string_view scheme) {
  const std::lock_guard lock(m_mutex);
  const auto it = m_factories.find(scheme);
  if (it != m_factories.end() && it->second.get() == &factory) m_factories.erase(it);
  return hr::Ok;
}

std::shared_ptr<CHttpHandlerAPP> CSchemeBindings::NewBinding(
    std::u16string_view scheme, std::shared_ptr<ITargetProtocol> target, ICacheStore* cacheStore) {
  std::shared_ptr<CComClassFactoryProtocol> factory;
  {
    const std::lock_guard lock(m_mutex);
    const auto it = m_factories.find(scheme);
    if (it == m_factories.end()) return nullptr;
    factory = it->second;
  }
  std::shared_ptr<CHttpHandlerAPP> app;
  if (factory->CreateInstance(std::move(target), app, cacheStore).Failed()) return nullptr;
  return app;
}

}  // namespace tracewell
