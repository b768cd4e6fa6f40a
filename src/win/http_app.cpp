#include "http_app.h"

#include <oleauto.h>
#include <shlguid.h>

#include <string>

#include "about_box.h"
#include "cache_commands.h"
#include "com_ids.h"
#include "product_addresses.h"
#include "update/wininet_fetcher.h"
#include "win_message_box.h"

namespace tracewell::win {
namespace {

// The persisted state is only this version word, little-endian.
constexpr DWORD kPersistVersion = 0x900;

}  // namespace

IUnknown* CHttpApp::Create(IUnknown* outer) { return &(new CHttpApp(outer))->m_inner; }

CHttpApp::~CHttpApp() {
  if (m_bRecording) m_capture.StopCapture();
  m_mainWindow.Destroy();
}

// IUnknown

STDMETHODIMP CHttpApp::QueryInterface(REFIID iid, void** object) {
  return ControllingUnknown(m_pOuter, m_inner)->QueryInterface(iid, object);
}

STDMETHODIMP_(ULONG) CHttpApp::AddRef() { return ControllingUnknown(m_pOuter, m_inner)->AddRef(); }

STDMETHODIMP_(ULONG) CHttpApp::Release() { return ControllingUnknown(m_pOuter, m_inner)->Release(); }

void* CHttpApp::FindInterface(REFIID iid) {
  if (iid == IID_IDispatch || iid == kIidTracewellApp) return static_cast<ITracewellApp*>(this);
  if (iid == IID_IPersist || iid == IID_IPersistStreamInit) return static_cast<IPersistStreamInit*>(this);
  if (iid == IID_IOleWindow || iid == IID_IDockingWindow || iid == IID_IDeskBand) {
    return static_cast<IDeskBand*>(this);
  }
  if (iid == IID_IObjectWithSite) return static_cast<IObjectWithSite*>(this);
  if (iid == IID_IInputObject) return static_cast<IInputObject*>(this);
  if (iid == IID_IContextMenu) return static_cast<IContextMenu*>(this);
  if (iid == IID_IOleCommandTarget) return static_cast<IOleCommandTarget*>(this);
  return nullptr;
}

// IDispatch: answered from the type library in the library's resources.

HRESULT CHttpApp::TypeInfo(ComPtr<ITypeInfo>& info) {
  if (!m_pTypeInfo) {
    ComPtr<ITypeLib> library;
    const std::wstring path = CBandkitModule::Get().ModulePath();
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Receive());
    if (FAILED(hr)) return hr;
    hr = library->GetTypeInfoOfGuid(kIidTracewellApp, m_pTypeInfo.Receive());
    if (FAILED(hr)) return hr;
  }
  info = m_pTypeInfo;
  return S_OK;
}

STDMETHODIMP CHttpApp::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP CHttpApp::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  ComPtr<ITypeInfo> typeInfo;
  if (const HRESULT hr = TypeInfo(typeInfo); FAILED(hr)) return hr;
  *info = typeInfo.Get();
  typeInfo->AddRef();
  return S_OK;
}

STDMETHODIMP CHttpApp::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  ComPtr<ITypeInfo> typeInfo;
  if (const HRESULT hr = TypeInfo(typeInfo); FAILED(hr)) return hr;
  return DispGetIDsOfNames(typeInfo.Get(), names, count, ids);
}

STDMETHODIMP CHttpApp::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                              VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  ComPtr<ITypeInfo> typeInfo;
  if (const HRESULT hr = TypeInfo(typeInfo); FAILED(hr)) return hr;
  return DispInvoke(static_cast<ITracewellApp*>(this), typeInfo.Get(), id, flags, parameters,
                    result, exception, argumentError);
}

// IPersistStreamInit: nothing but the version word is kept.

STDMETHODIMP CHttpApp::GetClassID(CLSID* classId) {
  if (classId == nullptr) return E_POINTER;
  *classId = kClsidTracewellApp;
  return S_OK;
}

STDMETHODIMP CHttpApp::IsDirty() { return m_bDirty ? S_OK : S_FALSE; }

STDMETHODIMP CHttpApp::Load(IStream* stream) {
  if (stream == nullptr) return E_POINTER;
  BYTE bytes[4] = {};
  ULONG read = 0;
  const HRESULT hr = stream->Read(bytes, sizeof(bytes), &read);
  if (FAILED(hr)) return hr;
  if (read != sizeof(bytes)) return E_FAIL;
  const DWORD version = bytes[0] | (DWORD{bytes[1]} << 8) | (DWORD{bytes[2]} << 16) | (DWORD{bytes[3]} << 24);
  if (version > kPersistVersion) return E_FAIL;
  m_bDirty = false;
  return S_OK;
}

STDMETHODIMP CHttpApp::Save(IStream* stream, BOOL clearDirty) {
  if (stream == nullptr) return E_POINTER;
  const BYTE bytes[4] = {static_cast<BYTE>(kPersistVersion & 0xFF),
                         static_cast<BYTE>((kPersistVersion >> 8) & 0xFF), 0, 0};
  ULONG written = 0;
  const HRESULT hr = stream->Write(bytes, sizeof(bytes), &written);
  if (FAILED(hr)) return hr;
  if (written != sizeof(bytes)) return STG_E_CANTSAVE;
  if (clearDirty) m_bDirty = false;
  return S_OK;
}

STDMETHODIMP CHttpApp::GetSizeMax(ULARGE_INTEGER* size) {
  if (size == nullptr) return E_POINTER;
  size->QuadPart = sizeof(DWORD);
  return S_OK;
}

STDMETHODIMP CHttpApp::InitNew() {
  m_bDirty = true;
  return S_OK;
}

// IDeskBand

STDMETHODIMP CHttpApp::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = m_mainWindow.Handle();
  return S_OK;
}

STDMETHODIMP CHttpApp::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP CHttpApp::ShowDW(BOOL show) {
  ShowWindow(m_mainWindow.Handle(), show ? SW_SHOW : SW_HIDE);
  if (!m_mainWindow.Exists()) return S_OK;
  if (show) {
    m_mainWindow.RebuildInspector();
  } else {
    m_mainWindow.ClearInspector();
  }
  return S_OK;
}

STDMETHODIMP CHttpApp::CloseDW(DWORD) {
  m_mainWindow.Destroy();
  return S_OK;
}

STDMETHODIMP CHttpApp::ResizeBorderDW(LPCRECT, IUnknown*, BOOL) { return E_NOTIMPL; }

STDMETHODIMP CHttpApp::GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) {
  m_bandInfo.bandId = bandId;
  m_bandInfo.viewMode = viewMode;
  if (info == nullptr) return E_INVALIDARG;
  m_bandInfo.Fill(*info);
  return S_OK;
}

// IObjectWithSite

STDMETHODIMP CHttpApp::SetSite(IUnknown* site) {
  m_pSite = ComPtr<IUnknown>::Retain(site);
  m_pInputObjectSite.Reset();
  m_pSiteWindow.Reset();
  if (!m_pSite) {
    m_browserEvents.Unadvise();
    m_pBrowser.Reset();
    m_webBrowser.SetBrowser(nullptr);
    if (m_bRecording) m_capture.StopCapture();
    return S_OK;
  }
  m_pSite.As(IID_IInputObjectSite, m_pInputObjectSite);
  HWND parent = nullptr;
  if (FAILED(m_pSite.As(IID_IOleWindow, m_pSiteWindow)) ||
      FAILED(m_pSiteWindow->GetWindow(&parent)) || parent == nullptr) {
    return S_OK;
  }
  if (!m_mainWindow.Exists()) {
    RECT area{};
    GetClientRect(parent, &area);
    if (!m_mainWindow.Create(parent, area)) return S_OK;
  }
  if (!m_pInputObjectSite) return S_OK;
  ConnectToBrowser();
  return S_OK;
}

void CHttpApp::ConnectToBrowser() {
  ComPtr<IServiceProvider> services;
  if (FAILED(m_pSite.As(IID_IServiceProvider, services))) return;
  if (FAILED(services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, m_pBrowser.ReceiveVoid()))) {
    return;
  }
  m_webBrowser.SetBrowser(m_pBrowser.Get());
  m_browserEvents.Unadvise();
  m_browserEvents.Advise(m_pBrowser.Get());
}

STDMETHODIMP CHttpApp::GetSite(REFIID iid, void** site) {
  if (site == nullptr) return E_POINTER;
  *site = nullptr;
  if (!m_pSite) return E_FAIL;
  return m_pSite->QueryInterface(iid, site);
}

// IInputObject

STDMETHODIMP CHttpApp::UIActivateIO(BOOL activate, MSG*) {
  if (activate) SetFocus(m_mainWindow.Handle());
  return S_OK;
}

STDMETHODIMP CHttpApp::HasFocusIO() { return S_OK; }

// The browser hands the band its keys before it would use them itself. Keys for the
// band's windows are handled here (S_OK: a command key ran its command, any other
// went to its control, so the browser's own keys such as Ctrl+A never take them);
// keys for the browser's windows go back to it (S_FALSE).
STDMETHODIMP CHttpApp::TranslateAcceleratorIO(MSG* message) {
  if (message == nullptr) return S_OK;
  return m_mainWindow.TranslateKey(*message) ? S_OK : S_FALSE;
}

// IContextMenu: the band has no menu of its own, and none of the browser's either.

STDMETHODIMP CHttpApp::QueryContextMenu(HMENU menu, UINT, UINT, UINT, UINT flags) {
  if (!(flags & CMF_DEFAULTONLY)) DestroyMenu(menu);
  return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
}

STDMETHODIMP CHttpApp::InvokeCommand(CMINVOKECOMMANDINFO*) { return E_INVALIDARG; }

STDMETHODIMP CHttpApp::GetCommandString(UINT_PTR, UINT, UINT*, LPSTR, UINT) { return E_INVALIDARG; }

// IOleCommandTarget

STDMETHODIMP CHttpApp::QueryStatus(const GUID*, ULONG count, OLECMD* commands, OLECMDTEXT*) {
  if (count == 0) return E_INVALIDARG;
  if (commands == nullptr) return E_POINTER;
  commands[0].cmdf = OLECMDF_ENABLED;
  return S_OK;
}

STDMETHODIMP CHttpApp::Exec(const GUID*, DWORD, DWORD, VARIANT*, VARIANT*) { return S_OK; }

// The band's commands, before the main window sees them.

bool CHttpApp::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || !OnCommand(LOWORD(wParam))) return false;
  result = 0;
  return true;
}

bool CHttpApp::OnCommand(int id) {
  switch (id) {
    case command::kStart:
      StartRecording();
      return true;
    case command::kStop:
      StopRecording();
      return true;
    case command::kAbout:
      ShowAboutBox(GetActiveWindow());
      return true;
    case command::kCheckForUpdate:
      CheckForUpdate();
      return true;
    case command::kTechnicalSupport:
      Navigate(HomePage());
      HideMonitorPanel();
      return true;
    default:
      return RunCacheCommand(id, GetActiveWindow());
  }
}

// A capture that cannot be registered leaves the requests unrecorded but the browser
// working; the switch still shows what the user chose.
void CHttpApp::StartRecording() {
  if (!m_pSite || m_bRecording) return;
  m_capture.StartCapture(m_mainWindow.Notifier());
  m_bRecording = true;
  m_mainWindow.CheckRecordingButton(command::kStart);
}

void CHttpApp::StopRecording() {
  if (!m_pSite || !m_bRecording) return;
  m_capture.StopCapture();
  m_bRecording = false;
  m_mainWindow.CheckRecordingButton(command::kStop);
}

void CHttpApp::CheckForUpdate() {
  CWinInetUpdateFetcher fetcher;
  CWinMessageBox messageBox(m_mainWindow.Handle());
  CUpdateCheck(fetcher, messageBox, *this, UpdateSite()).CheckForUpdate();
}

// The browser's answers are not acted on: a browser that cannot show the page or
// close the bar leaves things as they were.
void CHttpApp::Navigate(std::u16string_view url) {
  if (!m_pBrowser) return;
  VARIANT empty;
  VariantInit(&empty);
  const std::wstring text(url.begin(), url.end());
  BSTR address = SysAllocString(text.c_str());
  m_pBrowser->Navigate(address, &empty, &empty, &empty, &empty);
  SysFreeString(address);
}

void CHttpApp::HideMonitorPanel() {
  if (!m_pBrowser) return;
  wchar_t classId[40] = {};
  StringFromGUID2(kClsidTracewellApp, classId, static_cast<int>(std::size(classId)));
  VARIANT bar;
  VariantInit(&bar);
  bar.vt = VT_BSTR;
  bar.bstrVal = SysAllocString(classId);
  VARIANT show;
  VariantInit(&show);
  show.vt = VT_BOOL;
  show.boolVal = VARIANT_FALSE;
  VARIANT empty;
  VariantInit(&empty);
  m_pBrowser->ShowBrowserBar(&bar, &show, &empty);
  VariantClear(&bar);
}

void CHttpApp::OnQuit() { m_browserEvents.Unadvise(); }

}  // namespace tracewell::win
