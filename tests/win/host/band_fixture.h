#pragma once
// A band made through tracewell.dll's class object for each test, and a window for it
// to live in. When the test is over every band and class object is gone, so the
// library may unload.

#include <windows.h>

#include <gtest/gtest.h>
#include <shobjidl.h>

#include <initializer_list>

#include "com_ids.h"
#include "com_ptr.h"
#include "fake_browser.h"
#include "fake_site.h"
#include "library.h"

namespace tracewell::win::test {

// A top-level window to be the bar's window.
class CBarWindow {
 public:
  CBarWindow()
      : m_window(CreateWindowExW(0, L"STATIC", L"bar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 20,
                                 640, 200, nullptr, nullptr, nullptr, nullptr)) {}
  ~CBarWindow() { DestroyWindow(m_window); }
  CBarWindow(const CBarWindow&) = delete;
  CBarWindow& operator=(const CBarWindow&) = delete;
  HWND Handle() const { return m_window; }

 private:
  HWND m_window;
};

class BandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, CTracewellLibrary::Get().GetClassObject(kClsidTracewellApp, IID_IClassFactory,
                                                            m_factory.ReceiveVoid()));
    ASSERT_EQ(S_OK, m_factory->CreateInstance(nullptr, IID_IDeskBand, m_band.ReceiveVoid()));
  }

  // Every band and class object is gone: the library may unload.
  void TearDown() override {
    m_band.Reset();
    m_factory.Reset();
    EXPECT_EQ(S_OK, CTracewellLibrary::Get().CanUnloadNow());
  }

  template <typename Interface>
  ComPtr<Interface> BandAs(const IID& iid) {
    ComPtr<Interface> object;
    EXPECT_EQ(S_OK, m_band.As(iid, object));
    return object;
  }

  HRESULT SetSite(IUnknown* site) { return BandAs<IObjectWithSite>(IID_IObjectWithSite)->SetSite(site); }

  HWND BandWindow() {
    HWND window = nullptr;
    EXPECT_EQ(S_OK, m_band->GetWindow(&window));
    return window;
  }

  // Sends the band's window a command, as its toolbar and menus do.
  void Command(WORD id) { SendMessageW(BandWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  // A key-down for `window` handed to the band as the browser hands it its keys, with
  // the modifier keys (VK_CONTROL, VK_SHIFT) held down meanwhile.
  HRESULT TranslateKey(HWND window, WPARAM key, std::initializer_list<int> modifiers = {}) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    for (const int modifier : modifiers) keys[modifier] = 0x80;
    SetKeyboardState(keys);
    MSG message{window, WM_KEYDOWN, key, 1, 0, {}};
    const HRESULT result = BandAs<IInputObject>(IID_IInputObject)->TranslateAcceleratorIO(&message);
    for (const int modifier : modifiers) keys[modifier] = 0;
    SetKeyboardState(keys);
    return result;
  }

  ComPtr<IClassFactory> m_factory;
  ComPtr<IDeskBand> m_band;
};

// A band sited in a bar window with a fake site and browser.
class SitedBandTest : public BandTest {
 protected:
  void SetUp() override {
    BandTest::SetUp();
    ASSERT_EQ(S_OK, SetSite(m_site.Unknown()));
  }
  void TearDown() override {
    SetSite(nullptr);
    BandTest::TearDown();
  }

  CBarWindow m_bar;
  CFakeBrowser m_browser;
  CFakeSite m_site{m_bar.Handle(), &m_browser};
};

}  // namespace tracewell::win::test
