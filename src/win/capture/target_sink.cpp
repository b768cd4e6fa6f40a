#include "capture/target_sink.h"

namespace tracewell::win {
namespace {

std::u16string_view Text(LPCWSTR text) {
  if (text == nullptr) return {};
  return std::u16string_view(reinterpret_cast<const char16_t*>(text));
}

}  // namespace

void CTargetSink::SetBrowser(IInternetProtocolSink* sink, IInternetBindInfo* bindInfo) {
  const std::lock_guard lock(m_mutex);
  m_browserSink = ComPtr<IInternetProtocolSink>::Retain(sink);
  m_browserBindInfo = ComPtr<IInternetBindInfo>::Retain(bindInfo);
}

void CTargetSink::SetEngineSink(IProtocolSink* sink) {
  const std::lock_guard lock(m_mutex);
  m_engineSink = sink;
}

void CTargetSink::Detach() {
  const std::lock_guard lock(m_mutex);
  m_engineSink = nullptr;
  m_browserSink.Reset();
  m_browserBindInfo.Reset();
}

ComPtr<IInternetProtocolSink> CTargetSink::BrowserSink() {
  const std::lock_guard lock(m_mutex);
  return m_browserSink;
}

ComPtr<IInternetBindInfo> CTargetSink::BrowserBindInfo() {
  const std::lock_guard lock(m_mutex);
  return m_browserBindInfo;
}

template <typename Call>
HRESULT CTargetSink::WithEngineSink(const Call& call) {
  const std::lock_guard lock(m_mutex);
  return m_engineSink != nullptr ? call(*m_engineSink).value : E_UNEXPECTED;
}

STDMETHODIMP CTargetSink::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IInternetProtocolSink) {
    *object = static_cast<IInternetProtocolSink*>(this);
  } else if (iid == IID_IInternetBindInfo) {
    *object = static_cast<IInternetBindInfo*>(this);
  } else if (iid == IID_IServiceProvider) {
    *object = static_cast<IServiceProvider*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CTargetSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_nReferences)); }

STDMETHODIMP_(ULONG) CTargetSink::Release() {
  const LONG count = InterlockedDecrement(&m_nReferences);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

STDMETHODIMP CTargetSink::Switch(PROTOCOLDATA* data) {
  const auto browser = BrowserSink();
  return browser ? browser->Switch(data) : E_UNEXPECTED;
}

STDMETHODIMP CTargetSink::ReportProgress(ULONG status, LPCWSTR text) {
  return WithEngineSink([&](IProtocolSink& engine) { return engine.ReportProgress(status, Text(text)); });
}

STDMETHODIMP CTargetSink::ReportData(DWORD flags, ULONG progress, ULONG progressMax) {
  return WithEngineSink([&](IProtocolSink& engine) { return engine.ReportData(flags, progress, progressMax); });
}

STDMETHODIMP CTargetSink::ReportResult(HRESULT result, DWORD error, LPCWSTR text) {
  return WithEngineSink([&](IProtocolSink& engine) { return engine.ReportResult(HResult{result}, error, Text(text)); });
}

STDMETHODIMP CTargetSink::GetBindInfo(DWORD* flags, BINDINFO* info) {
  const auto browser = BrowserBindInfo();
  return browser ? browser->GetBindInfo(flags, info) : E_UNEXPECTED;
}

STDMETHODIMP CTargetSink::GetBindString(ULONG type, LPOLESTR* strings, ULONG count, ULONG* fetched) {
  const auto browser = BrowserBindInfo();
  return browser ? browser->GetBindString(type, strings, count, fetched) : E_UNEXPECTED;
}

STDMETHODIMP CTargetSink::QueryService(REFGUID service, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  const auto browser = BrowserSink();
  ComPtr<IServiceProvider> services;
  if (!browser || FAILED(browser.As(IID_IServiceProvider, services))) return E_NOINTERFACE;
  return services->QueryService(service, iid, object);
}

}  // namespace tracewell::win
