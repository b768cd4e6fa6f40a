#pragma once
// CHttpApp: the explorer-bar band that the browser creates and sites. It owns the
// monitor's main window (a child of the bar's window), follows the browser's events and
// answers the browser's questions about the band: its size and title, its persisted
// state, focus, its context menu and its command target.

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <ocidl.h>
#include <shobjidl.h>

#include "band_info.h"
#include "browser_event_sink.h"
#include "capture/capture_registration.h"
#include "capture/capture_services.h"
#include "capture/urlmon_platform.h"
#include "com_ptr.h"
#include "inner_unknown.h"
#include "main_window.h"
#include "module.h"
#include "inspector/page_load_state.h"
#include "update/update_check.h"
#include "win_web_browser.h"

namespace tracewell::win {

// The band's dual interface: nothing beyond IDispatch.
struct ITracewellApp : public IDispatch {};

class CHttpApp final : public ITracewellApp,
                       public IPersistStreamInit,
                       public IDeskBand,
                       public IObjectWithSite,
                       public IInputObject,
                       public IContextMenu,
                       public IOleCommandTarget,
                       private IMessageMap,
                       private IBrowserEventHandler,
                       private IUpdateBrowser {
 public:
  // A new band whose own (non-delegating) IUnknown, returned with one reference, owns
  // it. Inside an aggregate every interface but that one answers for `outer`.
  static IUnknown* Create(IUnknown* outer);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IDispatch (ITracewellApp)
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                      VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  // IPersist, IPersistStreamInit
  STDMETHODIMP GetClassID(CLSID* classId) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP Load(IStream* stream) override;
  STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override;

  // IOleWindow, IDockingWindow, IDeskBand
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
  STDMETHODIMP ShowDW(BOOL show) override;
  STDMETHODIMP CloseDW(DWORD reserved) override;
  STDMETHODIMP ResizeBorderDW(LPCRECT border, IUnknown* site, BOOL reserved) override;
  STDMETHODIMP GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) override;

  // IObjectWithSite
  STDMETHODIMP SetSite(IUnknown* site) override;
  STDMETHODIMP GetSite(REFIID iid, void** site) override;

  // IInputObject
  STDMETHODIMP UIActivateIO(BOOL activate, MSG* message) override;
  STDMETHODIMP HasFocusIO() override;
  STDMETHODIMP TranslateAcceleratorIO(MSG* message) override;

  // IContextMenu
  STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId,
                                UINT flags) override;
  STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* command) override;
  STDMETHODIMP GetCommandString(UINT_PTR id, UINT type, UINT* reserved, LPSTR name,
                                UINT size) override;

  // IOleCommandTarget
  STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                           OLECMDTEXT* text) override;
  STDMETHODIMP Exec(const GUID* group, DWORD id, DWORD options, VARIANT* in,
                    VARIANT* out) override;

 private:
  friend class CInnerUnknown<CHttpApp>;
  explicit CHttpApp(IUnknown* outer) : m_pOuter(outer) {}
  ~CHttpApp();
  void* FindInterface(REFIID iid);

  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;
  bool OnCommand(int id);
  void StartRecording();
  void StopRecording();
  void OnQuit() override;

  void ConnectToBrowser();
  void CheckForUpdate();
  // IUpdateBrowser: the browser that hosts the bar, which Technical Support uses too.
  void HideMonitorPanel() override;
  void Navigate(std::u16string_view url) override;
  HRESULT TypeInfo(ComPtr<ITypeInfo>& info);

  CModuleLock m_moduleLock;
  IUnknown* m_pOuter;  // not counted: the aggregate owns the band
  CInnerUnknown<CHttpApp> m_inner{*this};

  ComPtr<IUnknown> m_pSite;
  ComPtr<IInputObjectSite> m_pInputObjectSite;
  ComPtr<IOleWindow> m_pSiteWindow;
  ComPtr<IWebBrowser2> m_pBrowser;
  CWinWebBrowser m_webBrowser;
  // What the browser's navigation events mean for the page inspector in the window.
  CPageLoadState m_loadState{{[this] { m_mainWindow.ShowInspectorLoading(); },
                              [this] { m_mainWindow.RebuildInspector(); }}};
  CBrowserEventSink m_browserEvents{*this, m_loadState};
  ComPtr<ITypeInfo> m_pTypeInfo;

  CBandInfo m_bandInfo;
  bool m_bDirty = false;
  CMainWindowImpl m_mainWindow{*this, ProcessCaptureServices().clock, m_webBrowser};

  // Recording: our namespace handlers in the process's urlmon session. The flag is
  // the user's switch; taking the site away stops the capture but leaves the switch.
  CUrlmonPlatform m_platform;
  CCaptureRegistration m_capture{m_platform, ProcessCaptureServices()};
  bool m_bRecording = false;
};

}  // namespace tracewell::win
