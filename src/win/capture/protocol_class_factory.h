#pragma once
// The namespace handler's class object: for each request urlmon asks it for, a
// capture protocol object (the engine's pass-through object) in front of a fresh
// default handler.

#include <windows.h>

#include <memory>

#include "capture/capture_registration.h"
#include "class_factory_base.h"
#include "module.h"

namespace tracewell::win {

class CDefaultHandlerFactory;

class CProtocolClassFactory final : public CClassFactoryBase {
 public:
  // A new class object with one reference.
  static CProtocolClassFactory* Create(std::shared_ptr<CComClassFactoryProtocol> engineFactory,
                                       std::shared_ptr<CDefaultHandlerFactory> defaults) {
    return new CProtocolClassFactory(std::move(engineFactory), std::move(defaults));
  }

  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;

 private:
  CProtocolClassFactory(std::shared_ptr<CComClassFactoryProtocol> engineFactory,
                        std::shared_ptr<CDefaultHandlerFactory> defaults)
      : m_engineFactory(std::move(engineFactory)), m_defaults(std::move(defaults)) {}
  ~CProtocolClassFactory() = default;

  CModuleLock m_moduleLock;
  volatile LONG m_nReferences = 1;
  std::shared_ptr<CComClassFactoryProtocol> m_engineFactory;
  std::shared_ptr<CDefaultHandlerFactory> m_defaults;
};

}  // namespace tracewell::win
