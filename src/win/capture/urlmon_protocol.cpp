#include "capture/urlmon_protocol.h"

namespace tracewell::win {

IUnknown* CUrlmonProtocol::Create(IUnknown* outer, std::shared_ptr<CHttpHandlerAPP> handler,
                                  std::shared_ptr<CUrlmonTarget> target) {
  return &(new CUrlmonProtocol(outer, std::move(handler), std::move(target)))->m_inner;
}

STDMETHODIMP CUrlmonProtocol::QueryInterface(REFIID iid, void** object) {
  return ControllingUnknown(m_pOuter, m_inner)->QueryInterface(iid, object);
}

STDMETHODIMP_(ULONG) CUrlmonProtocol::AddRef() { return ControllingUnknown(m_pOuter, m_inner)->AddRef(); }

STDMETHODIMP_(ULONG) CUrlmonProtocol::Release() { return ControllingUnknown(m_pOuter, m_inner)->Release(); }

void* CUrlmonProtocol::FindInterface(REFIID iid) {
  if (iid == IID_IInternetProtocolRoot || iid == IID_IInternetProtocol || iid == IID_IInternetProtocolEx) {
    return static_cast<IInternetProtocolEx*>(this);
  }
  if (iid == IID_IInternetProtocolInfo && Target(m_targetProtocolInfo) != nullptr) {
    return static_cast<IInternetProtocolInfo*>(this);
  }
  if (iid == IID_IInternetPriority && Target(m_targetPriority) != nullptr) {
    return static_cast<IInternetPriority*>(this);
  }
  if (iid == IID_IInternetThreadSwitch && Target(m_targetThreadSwitch) != nullptr) {
    return static_cast<IInternetThreadSwitch*>(this);
  }
  if ((iid == IID_IWinInetInfo || iid == IID_IWinInetHttpInfo) && Target(m_targetHttpInfo) != nullptr) {
    return static_cast<IWinInetHttpInfo*>(this);
  }
  if ((iid == IID_IWinInetCacheHints || iid == IID_IWinInetCacheHints2) && Target(m_targetCacheHints) != nullptr) {
    return static_cast<IWinInetCacheHints2*>(this);
  }
  return nullptr;
}

void CUrlmonProtocol::TakeBrowser(IInternetProtocolSink* sink, IInternetBindInfo* bindInfo) {
  m_browserSink.Set(sink);
  m_browserBindInfo.Set(bindInfo);
  m_target->SetBrowser(sink, bindInfo);
}

STDMETHODIMP CUrlmonProtocol::Start(LPCWSTR url, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo,
                                    DWORD flags, HANDLE_PTR) {
  TakeBrowser(sink, bindInfo);
  const std::u16string_view address =
      url != nullptr ? std::u16string_view(reinterpret_cast<const char16_t*>(url)) : std::u16string_view();
  return m_handler->Start(address, sink != nullptr ? &m_browserSink : nullptr,
                          bindInfo != nullptr ? &m_browserBindInfo : nullptr, flags)
      .value;
}

STDMETHODIMP CUrlmonProtocol::StartEx(::IUri* uri, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo,
                                      DWORD flags, HANDLE_PTR) {
  TakeBrowser(sink, bindInfo);
  m_uri.reset();
  if (uri != nullptr) m_uri.emplace(uri);
  return m_handler->StartEx(m_uri ? &*m_uri : nullptr, sink != nullptr ? &m_browserSink : nullptr,
                            bindInfo != nullptr ? &m_browserBindInfo : nullptr, flags)
      .value;
}

STDMETHODIMP CUrlmonProtocol::Continue(PROTOCOLDATA* data) { return m_target->Handler()->Continue(data); }

STDMETHODIMP CUrlmonProtocol::Abort(HRESULT reason, DWORD options) {
  return m_handler->Abort(HResult{reason}, options).value;
}

// The browser's objects are let go once the request is over, which also ends the
// cycle between them and this object.
STDMETHODIMP CUrlmonProtocol::Terminate(DWORD options) {
  const HRESULT hr = m_handler->Terminate(options).value;
  m_target->SetBrowser(nullptr, nullptr);
  m_browserSink.Reset();
  m_browserBindInfo.Reset();
  return hr;
}

STDMETHODIMP CUrlmonProtocol::Suspend() { return m_target->Handler()->Suspend(); }

STDMETHODIMP CUrlmonProtocol::Resume() { return m_target->Handler()->Resume(); }

STDMETHODIMP CUrlmonProtocol::Read(void* buffer, ULONG size, ULONG* read) {
  std::uint32_t got = 0;
  const HRESULT hr = m_handler->Read(static_cast<char*>(buffer), size, got).value;
  if (read != nullptr) *read = got;
  return hr;
}

STDMETHODIMP CUrlmonProtocol::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  return m_target->Handler()->Seek(move, origin, position);
}

STDMETHODIMP CUrlmonProtocol::LockRequest(DWORD options) { return m_target->Handler()->LockRequest(options); }

STDMETHODIMP CUrlmonProtocol::UnlockRequest() { return m_target->Handler()->UnlockRequest(); }

// Options are the handler's own business; the browser is told there is nothing here.
STDMETHODIMP CUrlmonProtocol::QueryOption(DWORD, LPVOID, DWORD*) { return S_FALSE; }

STDMETHODIMP CUrlmonProtocol::QueryInfo(DWORD option, LPVOID buffer, DWORD* size, DWORD* flags,
                                        DWORD* reserved) {
  IWinInetHttpInfo* info = Target(m_targetHttpInfo);
  return info != nullptr ? info->QueryInfo(option, buffer, size, flags, reserved) : E_UNEXPECTED;
}

// The interfaces offered in turn pass every call on unchanged.

STDMETHODIMP CUrlmonProtocol::ParseUrl(LPCWSTR url, PARSEACTION action, DWORD flags, LPWSTR result,
                                       DWORD size, DWORD* resultSize, DWORD reserved) {
  IInternetProtocolInfo* info = Target(m_targetProtocolInfo);
  return info != nullptr ? info->ParseUrl(url, action, flags, result, size, resultSize, reserved) : E_UNEXPECTED;
}

STDMETHODIMP CUrlmonProtocol::CombineUrl(LPCWSTR base, LPCWSTR relative, DWORD flags, LPWSTR result,
                                         DWORD size, DWORD* resultSize, DWORD reserved) {
  IInternetProtocolInfo* info = Target(m_targetProtocolInfo);
  return info != nullptr ? info->CombineUrl(base, relative, flags, result, size, resultSize, reserved)
                         : E_UNEXPECTED;
}

STDMETHODIMP CUrlmonProtocol::CompareUrl(LPCWSTR first, LPCWSTR second, DWORD flags) {
  IInternetProtocolInfo* info = Target(m_targetProtocolInfo);
  return info != nullptr ? info->CompareUrl(first, second, flags) : E_UNEXPECTED;
}

STDMETHODIMP CUrlmonProtocol::QueryInfo(LPCWSTR url, QUERYOPTION option, DWORD flags, LPVOID buffer,
                                        DWORD size, DWORD* resultSize, DWORD reserved) {
  IInternetProtocolInfo* info = Target(m_targetProtocolInfo);
  return info != nullptr ? info->QueryInfo(url, option, flags, buffer, size, resultSize, reserved)
                         : E_UNEXPECTED;
}

STDMETHODIMP CUrlmonProtocol::SetPriority(LONG priority) {
  IInternetPriority* target = Target(m_targetPriority);
  return target != nullptr ? target->SetPriority(priority) : E_UNEXPECTED;
}

STDMETHODIMP CUrlmonProtocol::GetPriority(LONG* priority) {
  IInternetPriority* target = Target(m_targetPriority);
  return target != nullptr ? target->GetPriority(priority) : E_UNEXPECTED;
}

STDMETHODIMP CUrlmonProtocol::Prepare() {
  IInternetThreadSwitch* target = Target(m_targetThreadSwitch);
  return target != nullptr ? target->Prepare() : E_UNEXPECTED;
}

STDMETHODIMP CUrlmonProtocol::Continue() {
  IInternetThreadSwitch* target = Target(m_targetThreadSwitch);
  return target != nullptr ? target->Continue() : E_UNEXPECTED;
}

STDMETHODIMP CUrlmonProtocol::SetCacheExtension(LPCWSTR extension, LPVOID file, DWORD* size, DWORD* error,
                                                DWORD* reserved) {
  IWinInetCacheHints2* hints = Target(m_targetCacheHints);
  return hints != nullptr ? hints->SetCacheExtension(extension, file, size, error, reserved) : E_UNEXPECTED;
}

STDMETHODIMP CUrlmonProtocol::SetCacheExtension2(LPCWSTR extension, WCHAR* file, DWORD* size, DWORD* error,
                                                 DWORD* reserved) {
  IWinInetCacheHints2* hints = Target(m_targetCacheHints);
  return hints != nullptr ? hints->SetCacheExtension2(extension, file, size, error, reserved) : E_UNEXPECTED;
}

}  // namespace tracewell::win
