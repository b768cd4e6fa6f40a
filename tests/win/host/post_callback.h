#pragma once
// The caller's side of a POST through urlmon: the bind information with the verb and
// the body (as global memory or as a stream), and the request's Content-Type header.

#include <windows.h>

#include <urlmon.h>

#include <string>

#include "counted.h"

namespace tracewell::win::test {

enum class PostMedium { kGlobalMemory, kStream };

class CPostCallback final : public IBindStatusCallback, public IHttpNegotiate {
 public:
  CPostCallback(std::string body, PostMedium medium) : m_body(std::move(body)), m_medium(medium) {}
  IBindStatusCallback* Callback() { return this; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return m_references.Add(); }
  STDMETHODIMP_(ULONG) Release() override { return m_references.Remove(); }
  // IBindStatusCallback
  STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
  STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
  STDMETHODIMP OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
  STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override;
  STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
  STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }
  // IHttpNegotiate
  STDMETHODIMP BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved,
                                    LPWSTR* additionalHeaders) override;
  STDMETHODIMP OnResponse(DWORD, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders) override;

 private:
  CReferenceCount m_references;
  std::string m_body;
  PostMedium m_medium;
};

}  // namespace tracewell::win::test
