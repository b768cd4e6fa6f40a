#include "post_callback.h"

#include <cstring>

namespace tracewell::win::test {
namespace {

constexpr wchar_t kContentType[] = L"Content-Type: application/x-www-form-urlencoded\r\n";

HGLOBAL GlobalCopy(const std::string& bytes) {
  const HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(global), bytes.data(), bytes.size());
  GlobalUnlock(global);
  return global;
}

}  // namespace

STDMETHODIMP CPostCallback::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IBindStatusCallback) {
    *object = static_cast<IBindStatusCallback*>(this);
  } else if (iid == IID_IHttpNegotiate) {
    *object = static_cast<IHttpNegotiate*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

// urlmon releases the medium with the BINDINFO: each call gets its own copy.
STDMETHODIMP CPostCallback::GetBindInfo(DWORD* flags, BINDINFO* info) {
  *flags = BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE;
  const ULONG size = info->cbSize;
  std::memset(info, 0, size);
  info->cbSize = size;
  info->dwBindVerb = BINDVERB_POST;
  info->cbstgmedData = static_cast<DWORD>(m_body.size());
  const HGLOBAL global = GlobalCopy(m_body);
  if (m_medium == PostMedium::kGlobalMemory) {
    info->stgmedData.tymed = TYMED_HGLOBAL;
    info->stgmedData.hGlobal = global;
  } else {
    info->stgmedData.tymed = TYMED_ISTREAM;
    CreateStreamOnHGlobal(global, TRUE, &info->stgmedData.pstm);
  }
  return S_OK;
}

STDMETHODIMP CPostCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) {
  *additionalHeaders = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof(kContentType)));
  std::memcpy(*additionalHeaders, kContentType, sizeof(kContentType));
  return S_OK;
}

STDMETHODIMP CPostCallback::OnResponse(DWORD, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders) {
  if (additionalHeaders != nullptr) *additionalHeaders = nullptr;
  return S_OK;
}

}  // namespace tracewell::win::test
