// The band as the browser meets it: created through tracewell.dll's class object,
// sited in fakes of the bar site and the browser, asked what the browser asks.

#include <windows.h>

#include <docobj.h>
#include <exdispid.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "com_ids.h"
#include "band_fixture.h"
#include "com_ptr.h"
#include "dialog_answer.h"
#include "library.h"
#include "update/version.h"

namespace tracewell::win::test {
namespace {

constexpr WORD kCommandAbout = 32784;
constexpr WORD kCommandTechnicalSupport = 32789;

std::vector<BYTE> StreamBytes(IStream* stream) {
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<BYTE> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  bytes.resize(read);
  return bytes;
}

ComPtr<IStream> StreamOf(std::vector<BYTE> bytes) {
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
  ULONG written = 0;
  stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

TEST(ClassObject, AnswersOnlyForTheBandAndKeepsTheLibraryWhileHeldOrLocked) {
  const CTracewellLibrary& library = CTracewellLibrary::Get();
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, library.GetClassObject(IID_IUnknown, IID_IClassFactory, factory.ReceiveVoid()));
  EXPECT_FALSE(factory);
  EXPECT_EQ(S_OK, library.CanUnloadNow());

  ASSERT_EQ(S_OK, library.GetClassObject(kClsidTracewellApp, IID_IClassFactory, factory.ReceiveVoid()));
  EXPECT_EQ(S_FALSE, library.CanUnloadNow());
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  factory.Reset();
  EXPECT_EQ(S_FALSE, library.CanUnloadNow());
  ASSERT_EQ(S_OK, library.GetClassObject(kClsidTracewellApp, IID_IClassFactory, factory.ReceiveVoid()));
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  factory.Reset();
  EXPECT_EQ(S_OK, library.CanUnloadNow());
}

// An object that aggregates the band: its own IUnknown, the band's interfaces
// through the band's inner IUnknown.
class CAggregate final : public IUnknown {
 public:
  HRESULT Create(IClassFactory& factory, REFIID iid) {
    return factory.CreateInstance(this, iid, m_inner.ReceiveVoid());
  }
  void ReleaseBand() { m_inner.Reset(); }
  LONG References() const { return m_references.Held(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown) {
      *object = this;
      AddRef();
      return S_OK;
    }
    return m_inner->QueryInterface(iid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return m_references.Add(); }
  STDMETHODIMP_(ULONG) Release() override { return m_references.Remove(); }

 private:
  CReferenceCount m_references;
  ComPtr<IUnknown> m_inner;
};

TEST(ClassObject, BandJoinsAnAggregateThroughItsOwnUnknownOnly) {
  const CTracewellLibrary& library = CTracewellLibrary::Get();
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK, library.GetClassObject(kClsidTracewellApp, IID_IClassFactory, factory.ReceiveVoid()));
  CAggregate aggregate;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, aggregate.Create(*factory.Get(), IID_IDeskBand));
  ASSERT_EQ(S_OK, aggregate.Create(*factory.Get(), IID_IUnknown));
  EXPECT_EQ(0, aggregate.References());

  ComPtr<IDeskBand> band;
  ASSERT_EQ(S_OK, aggregate.QueryInterface(IID_IDeskBand, band.ReceiveVoid()));
  EXPECT_EQ(1, aggregate.References());
  ComPtr<IUnknown> identity;
  ASSERT_EQ(S_OK, band.As(IID_IUnknown, identity));
  EXPECT_EQ(static_cast<IUnknown*>(&aggregate), identity.Get());
  ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(S_OK, band.As(IID_IPersistStreamInit, persist));
  EXPECT_EQ(3, aggregate.References());
  identity.Reset();
  persist.Reset();
  band.Reset();
  EXPECT_EQ(0, aggregate.References());

  aggregate.ReleaseBand();
  factory.Reset();
  EXPECT_EQ(S_OK, library.CanUnloadNow());
}

TEST_F(BandTest, AnswersEveryInterfaceOfTheBandWithOneIdentity) {
  ComPtr<IUnknown> identity;
  ASSERT_EQ(S_OK, m_band.As(IID_IUnknown, identity));
  for (const IID* iid : {&IID_IDispatch, &kIidTracewellApp, &IID_IPersist, &IID_IPersistStreamInit,
                         &IID_IOleWindow, &IID_IDockingWindow, &IID_IDeskBand, &IID_IObjectWithSite,
                         &IID_IInputObject, &IID_IContextMenu, &IID_IOleCommandTarget}) {
    ComPtr<IUnknown> object;
    ASSERT_EQ(S_OK, m_band.As(*iid, object));
    ComPtr<IUnknown> same;
    ASSERT_EQ(S_OK, object.As(IID_IUnknown, same));
    EXPECT_EQ(identity.Get(), same.Get());
  }
  ComPtr<IUnknown> none;
  EXPECT_EQ(E_NOINTERFACE, m_band.As(IID_IPersistStream, none));
  EXPECT_FALSE(none);
}

TEST_F(BandTest, BandInfoFillsWhatTheMaskAsksFor) {
  DESKBANDINFO info{};
  info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE |
                DBIM_MODEFLAGS | DBIM_BKCOLOR;
  info.crBkgnd = RGB(1, 2, 3);
  ASSERT_EQ(S_OK, m_band->GetBandInfo(7, DBIF_VIEWMODE_NORMAL, &info));
  EXPECT_EQ(0, info.ptMinSize.x);
  EXPECT_EQ(0, info.ptMinSize.y);
  EXPECT_EQ(-1, info.ptMaxSize.x);
  EXPECT_EQ(-1, info.ptMaxSize.y);
  EXPECT_EQ(1, info.ptIntegral.x);
  EXPECT_EQ(1, info.ptIntegral.y);
  EXPECT_EQ(0, info.ptActual.x);
  EXPECT_EQ(0, info.ptActual.y);
  EXPECT_EQ(std::wstring(L"Tracewell Version 1.0"), info.wszTitle);
  EXPECT_EQ(static_cast<DWORD>(DBIMF_VARIABLEHEIGHT), info.dwModeFlags);
  EXPECT_EQ(COLORREF{0}, info.crBkgnd);

  DESKBANDINFO titleOnly{};
  titleOnly.dwMask = DBIM_TITLE;
  titleOnly.ptMaxSize = {5, 6};
  titleOnly.dwModeFlags = 0x77;
  ASSERT_EQ(S_OK, m_band->GetBandInfo(7, DBIF_VIEWMODE_NORMAL, &titleOnly));
  EXPECT_EQ(std::wstring(L"Tracewell Version 1.0"), titleOnly.wszTitle);
  EXPECT_EQ(5, titleOnly.ptMaxSize.x);
  EXPECT_EQ(6, titleOnly.ptMaxSize.y);
  EXPECT_EQ(DWORD{0x77}, titleOnly.dwModeFlags);

  EXPECT_EQ(E_INVALIDARG, m_band->GetBandInfo(7, DBIF_VIEWMODE_NORMAL, nullptr));
}

TEST_F(BandTest, PersistsOnlyTheVersionWord) {
  auto persist = BandAs<IPersistStreamInit>(IID_IPersistStreamInit);
  CLSID classId{};
  ASSERT_EQ(S_OK, persist->GetClassID(&classId));
  EXPECT_TRUE(IsEqualCLSID(kClsidTracewellApp, classId));
  ULARGE_INTEGER size{};
  ASSERT_EQ(S_OK, persist->GetSizeMax(&size));
  EXPECT_EQ(4u, size.QuadPart);

  EXPECT_EQ(S_FALSE, persist->IsDirty());
  EXPECT_EQ(S_OK, persist->InitNew());
  EXPECT_EQ(S_OK, persist->IsDirty());

  auto kept = StreamOf({});
  ASSERT_EQ(S_OK, persist->Save(kept.Get(), FALSE));
  EXPECT_EQ((std::vector<BYTE>{0x00, 0x09, 0x00, 0x00}), StreamBytes(kept.Get()));
  EXPECT_EQ(S_OK, persist->IsDirty());
  auto cleared = StreamOf({});
  ASSERT_EQ(S_OK, persist->Save(cleared.Get(), TRUE));
  EXPECT_EQ((std::vector<BYTE>{0x00, 0x09, 0x00, 0x00}), StreamBytes(cleared.Get()));
  EXPECT_EQ(S_FALSE, persist->IsDirty());
}

TEST_F(BandTest, LoadsVersionsUpTo0x900AndRefusesNewerOrShortState) {
  auto persist = BandAs<IPersistStreamInit>(IID_IPersistStreamInit);
  persist->InitNew();
  EXPECT_EQ(S_OK, persist->Load(StreamOf({0x00, 0x09, 0x00, 0x00}).Get()));
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  EXPECT_EQ(S_OK, persist->Load(StreamOf({0xFF, 0x08, 0x00, 0x00, 0x55}).Get()));

  persist->InitNew();
  EXPECT_EQ(E_FAIL, persist->Load(StreamOf({0x01, 0x09, 0x00, 0x00}).Get()));
  EXPECT_EQ(E_FAIL, persist->Load(StreamOf({0x00, 0x09, 0x00, 0x01}).Get()));
  EXPECT_EQ(E_FAIL, persist->Load(StreamOf({0x00, 0x09}).Get()));
  EXPECT_EQ(S_OK, persist->IsDirty());
}

TEST_F(BandTest, ContextMenuAddsNothingAndDestroysTheBrowsersMenu) {
  auto contextMenu = BandAs<IContextMenu>(IID_IContextMenu);
  const HMENU kept = CreatePopupMenu();
  AppendMenuW(kept, MF_STRING, 1, L"item");
  EXPECT_EQ(S_OK, contextMenu->QueryContextMenu(kept, 0, 100, 200, CMF_DEFAULTONLY));
  EXPECT_TRUE(IsMenu(kept));
  EXPECT_EQ(1, GetMenuItemCount(kept));
  DestroyMenu(kept);

  const HMENU destroyed = CreatePopupMenu();
  EXPECT_EQ(S_OK, contextMenu->QueryContextMenu(destroyed, 0, 100, 200, CMF_NORMAL));
  EXPECT_FALSE(IsMenu(destroyed));

  CMINVOKECOMMANDINFO command{};
  command.cbSize = sizeof(command);
  EXPECT_EQ(E_INVALIDARG, contextMenu->InvokeCommand(&command));
  char name[16] = {};
  EXPECT_EQ(E_INVALIDARG, contextMenu->GetCommandString(0, GCS_VERBA, nullptr, name, sizeof(name)));
}

TEST_F(BandTest, CommandTargetEnablesTheFirstCommandOnly) {
  auto target = BandAs<IOleCommandTarget>(IID_IOleCommandTarget);
  OLECMD commands[2] = {{1, 0}, {2, 0}};
  EXPECT_EQ(E_INVALIDARG, target->QueryStatus(nullptr, 0, commands, nullptr));
  EXPECT_EQ(E_POINTER, target->QueryStatus(nullptr, 2, nullptr, nullptr));
  EXPECT_EQ(S_OK, target->QueryStatus(nullptr, 2, commands, nullptr));
  EXPECT_EQ(DWORD{OLECMDF_ENABLED}, commands[0].cmdf);
  EXPECT_EQ(DWORD{0}, commands[1].cmdf);
  EXPECT_EQ(S_OK, target->Exec(nullptr, 1, 0, nullptr, nullptr));
}

TEST_F(BandTest, DispatchInterfaceHasTheTypeInformationOfTheLibrary) {
  auto dispatch = BandAs<IDispatch>(IID_IDispatch);
  UINT count = 0;
  ASSERT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Receive()));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
  EXPECT_TRUE(IsEqualIID(kIidTracewellApp, attributes->guid));
  info->ReleaseTypeAttr(attributes);
  ComPtr<ITypeInfo> none;
  EXPECT_EQ(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, none.Receive()));

  wchar_t name[] = L"Start";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
}

TEST_F(SitedBandTest, SitedBandMakesItsWindowInTheBarAndListensToTheBrowser) {

  const HWND window = BandWindow();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(m_bar.Handle(), GetParent(window));
  EXPECT_EQ(0x54000000, GetWindowLongW(window, GWL_STYLE));
  // Made with 0x40100; the system keeps WS_EX_WINDOWEDGE (0x100) only on framed windows.
  EXPECT_EQ(WS_EX_APPWINDOW, GetWindowLongW(window, GWL_EXSTYLE));
  RECT barArea{};
  RECT bandArea{};
  GetClientRect(m_bar.Handle(), &barArea);
  GetClientRect(window, &bandArea);
  EXPECT_EQ(barArea.right, bandArea.right);
  EXPECT_EQ(barArea.bottom, bandArea.bottom);
  EXPECT_EQ(1, m_browser.advises);
  EXPECT_TRUE(m_browser.HasSink());

  ComPtr<IOleWindow> siteWindow;
  ASSERT_EQ(S_OK, BandAs<IObjectWithSite>(IID_IObjectWithSite)->GetSite(IID_IOleWindow, siteWindow.ReceiveVoid()));
  EXPECT_EQ(static_cast<IOleWindow*>(&m_site), siteWindow.Get());
  siteWindow.Reset();

  ASSERT_EQ(S_OK, SetSite(nullptr));
  EXPECT_EQ(1, m_browser.unadvises);
  EXPECT_FALSE(m_browser.HasSink());
  EXPECT_EQ(0, m_site.References());
  EXPECT_EQ(0, m_browser.References());
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(S_OK, m_band->CloseDW(0));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, BandWindow());
}

TEST_F(SitedBandTest, ShowAndHideTheWindow) {
  EXPECT_EQ(S_OK, m_band->ShowDW(FALSE));
  EXPECT_FALSE(IsWindowVisible(BandWindow()));
  EXPECT_EQ(S_OK, m_band->ShowDW(TRUE));
  EXPECT_TRUE(IsWindowVisible(BandWindow()));
}

TEST_F(BandTest, SiteWithoutInputObjectSiteGetsAWindowButNoBrowserConnection) {
  CBarWindow bar;
  CFakeBrowser browser;
  CFakeSite site(bar.Handle(), &browser, {.window = true, .inputObjectSite = false, .serviceProvider = true});
  ASSERT_EQ(S_OK, SetSite(site.Unknown()));
  EXPECT_TRUE(IsWindow(BandWindow()));
  EXPECT_EQ(0, browser.advises);
  ASSERT_EQ(S_OK, SetSite(nullptr));
  EXPECT_EQ(0, browser.unadvises);
  EXPECT_EQ(0, site.References());
}

TEST_F(BandTest, SiteWithoutWindowGetsNothing) {
  CFakeBrowser browser;
  CFakeSite site(nullptr, &browser, {.window = false, .inputObjectSite = true, .serviceProvider = true});
  ASSERT_EQ(S_OK, SetSite(site.Unknown()));
  EXPECT_EQ(nullptr, BandWindow());
  EXPECT_EQ(0, browser.advises);
  ComPtr<IUnknown> held;
  EXPECT_EQ(S_OK, BandAs<IObjectWithSite>(IID_IObjectWithSite)->GetSite(IID_IUnknown, held.ReceiveVoid()));
  held.Reset();
  ASSERT_EQ(S_OK, SetSite(nullptr));
  EXPECT_EQ(0, site.References());
}

TEST_F(BandTest, GetSiteWithoutSiteFailsAndClearsTheOutPointer) {
  auto withSite = BandAs<IObjectWithSite>(IID_IObjectWithSite);
  void* site = this;
  EXPECT_EQ(E_FAIL, withSite->GetSite(IID_IUnknown, &site));
  EXPECT_EQ(nullptr, site);
  EXPECT_EQ(E_POINTER, withSite->GetSite(IID_IUnknown, nullptr));
}

TEST_F(SitedBandTest, BrowserQuittingDisconnectsTheEventsOnce) {
  ASSERT_TRUE(m_browser.Fire(DISPID_TITLECHANGE));
  EXPECT_TRUE(m_browser.HasSink());
  ASSERT_TRUE(m_browser.Fire(DISPID_ONQUIT));
  EXPECT_FALSE(m_browser.HasSink());
  EXPECT_EQ(1, m_browser.unadvises);
  ASSERT_EQ(S_OK, SetSite(nullptr));
  EXPECT_EQ(1, m_browser.unadvises);
  EXPECT_EQ(0, m_browser.References());
}

TEST_F(SitedBandTest, AboutBoxShowsTheProductAndTheMakersAddresses) {
  SetEnvironmentVariableW(L"TRACEWELL_HOME_PAGE", L"http://127.0.0.1:9/home/");
  SetEnvironmentVariableW(L"TRACEWELL_SUPPORT_EMAIL", L"help@127.0.0.1");
  CDialogAnswer answer(L"About Tracewell 1.0", IDOK);
  Command(kCommandAbout);
  const auto texts = answer.Texts();
  SetEnvironmentVariableW(L"TRACEWELL_HOME_PAGE", nullptr);
  SetEnvironmentVariableW(L"TRACEWELL_SUPPORT_EMAIL", nullptr);
  // The picture, the name line, the two links (their markup is their text) and OK.
  EXPECT_EQ((std::vector<std::wstring>{L"", L"Tracewell V1.0 ", L"HomePage:",
                                       L"<a href=\"http://127.0.0.1:9/home/\">http://127.0.0.1:9/home/</a>",
                                       L"Email:", L"<a href=\"mailto:help@127.0.0.1\">help@127.0.0.1</a>", L"OK"}),
            texts);
}

TEST_F(SitedBandTest, TechnicalSupportShowsTheHomePageAndHidesTheBar) {
  Command(kCommandTechnicalSupport);
  EXPECT_EQ((std::vector<std::wstring>{std::wstring(kHomePage.begin(), kHomePage.end())}), m_browser.navigations);
  ASSERT_EQ(1u, m_browser.barRequests.size());
  EXPECT_EQ(L"{5D2E8C41-7A3B-4F19-9C6E-2B4A7D1E3F58}", m_browser.barRequests[0].bar);
  EXPECT_FALSE(m_browser.barRequests[0].show);
}

TEST_F(SitedBandTest, InputObjectTakesTheFocusWhenActivated) {
  auto input = BandAs<IInputObject>(IID_IInputObject);
  EXPECT_EQ(S_OK, input->HasFocusIO());
  EXPECT_EQ(S_OK, input->TranslateAcceleratorIO(nullptr));
  SetFocus(m_bar.Handle());
  EXPECT_EQ(S_OK, input->UIActivateIO(FALSE, nullptr));
  EXPECT_EQ(m_bar.Handle(), GetFocus());
  EXPECT_EQ(S_OK, input->UIActivateIO(TRUE, nullptr));
  EXPECT_EQ(BandWindow(), GetFocus());
}

}  // namespace
}  // namespace tracewell::win::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  OleInitialize(nullptr);
  const int result = RUN_ALL_TESTS();
  OleUninitialize();
  return result;
}
