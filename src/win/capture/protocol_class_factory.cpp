#include "capture/protocol_class_factory.h"

#include "capture/urlmon_platform.h"
#include "capture/urlmon_protocol.h"

namespace tracewell::win {

STDMETHODIMP_(ULONG) CProtocolClassFactory::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&m_nReferences));
}

STDMETHODIMP_(ULONG) CProtocolClassFactory::Release() {
  const LONG count = InterlockedDecrement(&m_nReferences);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

// urlmon aggregates the protocol object, so only its own IUnknown is handed out.
STDMETHODIMP CProtocolClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown) return E_NOINTERFACE;
  std::shared_ptr<CUrlmonTarget> target;
  if (const HResult made = m_defaults->CreateUrlmonTarget(target); made.Failed()) return made.value;
  std::shared_ptr<CHttpHandlerAPP> handler;
  if (const HResult made = m_engineFactory->CreateInstance(target, handler); made.Failed()) return made.value;
  *object = CUrlmonProtocol::Create(outer, std::move(handler), std::move(target));
  return S_OK;
}

}  // namespace tracewell::win
