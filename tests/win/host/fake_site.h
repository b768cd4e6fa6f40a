#pragma once
// The bar site that the browser gives the band: a window to be the parent of the
// band's window, an input-object site, and the service provider that leads to the
// browser. Each can be left out to see how the band copes.

#include <windows.h>

#include <ocidl.h>
#include <servprov.h>
#include <shobjidl.h>

#include "counted.h"

namespace tracewell::win::test {

class CFakeBrowser;

struct SiteParts {
  bool window = true;
  bool inputObjectSite = true;
  bool serviceProvider = true;
};

class CFakeSite final : public IOleWindow, public IInputObjectSite, public IServiceProvider {
 public:
  // `browser` may be null: the site then offers no browser.
  CFakeSite(HWND window, CFakeBrowser* browser, SiteParts parts = {})
      : m_window(window), m_browser(browser), m_parts(parts) {}

  IUnknown* Unknown() { return static_cast<IOleWindow*>(this); }
  LONG References() const { return m_references.Held(); }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return m_references.Add(); }
  STDMETHODIMP_(ULONG) Release() override { return m_references.Remove(); }
  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  // IInputObjectSite
  STDMETHODIMP OnFocusChangeIS(IUnknown*, BOOL) override { return S_OK; }
  // IServiceProvider
  STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** object) override;

 private:
  CReferenceCount m_references;
  HWND m_window;
  CFakeBrowser* m_browser;
  SiteParts m_parts;
};

}  // namespace tracewell::win::test
