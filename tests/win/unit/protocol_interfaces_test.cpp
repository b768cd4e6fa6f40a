// The protocol object's other interfaces: each is offered only when the default
// handler behind it offers it, answers with the protocol object's identity, and
// passes every call on unchanged; the handler's pointers are let go with the object.

#include <windows.h>

#include <gtest/gtest.h>
#include <urlmon.h>
#include <wininet.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "capture/capture_services.h"
#include "capture/urlmon_protocol.h"

namespace tracewell::win {
namespace {

// A default handler offering the interfaces it is given, logging each call made of
// them and counting references.
class CFakeHandler final : public IInternetProtocol,
                           public IInternetProtocolInfo,
                           public IInternetPriority,
                           public IInternetThreadSwitch,
                           public IWinInetHttpInfo,
                           public IWinInetCacheHints2 {
 public:
  explicit CFakeHandler(std::set<const IID*> offered) : m_offered(std::move(offered)) {}

  LONG references = 0;
  std::vector<std::string> calls;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IInternetProtocolRoot || iid == IID_IInternetProtocol) {
      *object = static_cast<IInternetProtocol*>(this);
    }
    for (const IID* offered : m_offered) {
      if (iid != *offered) continue;
      if (iid == IID_IInternetProtocolInfo) *object = static_cast<IInternetProtocolInfo*>(this);
      if (iid == IID_IInternetPriority) *object = static_cast<IInternetPriority*>(this);
      if (iid == IID_IInternetThreadSwitch) *object = static_cast<IInternetThreadSwitch*>(this);
      if (iid == IID_IWinInetHttpInfo) *object = static_cast<IWinInetHttpInfo*>(this);
      if (iid == IID_IWinInetCacheHints2) *object = static_cast<IWinInetCacheHints2*>(this);
    }
    if (*object == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references); }

  STDMETHODIMP Start(LPCWSTR, IInternetProtocolSink*, IInternetBindInfo*, DWORD, HANDLE_PTR) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Continue(PROTOCOLDATA*) override { return E_NOTIMPL; }
  STDMETHODIMP Abort(HRESULT, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Terminate(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Suspend() override { return E_NOTIMPL; }
  STDMETHODIMP Resume() override { return E_NOTIMPL; }
  STDMETHODIMP Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  STDMETHODIMP Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP LockRequest(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP UnlockRequest() override { return E_NOTIMPL; }

  STDMETHODIMP ParseUrl(LPCWSTR url, PARSEACTION action, DWORD, LPWSTR, DWORD, DWORD*, DWORD) override {
    return Log("ParseUrl " + Narrow(url) + " " + std::to_string(action));
  }
  STDMETHODIMP CombineUrl(LPCWSTR base, LPCWSTR relative, DWORD, LPWSTR, DWORD, DWORD*, DWORD) override {
    return Log("CombineUrl " + Narrow(base) + " " + Narrow(relative));
  }
  STDMETHODIMP CompareUrl(LPCWSTR first, LPCWSTR second, DWORD) override {
    return Log("CompareUrl " + Narrow(first) + " " + Narrow(second));
  }
  STDMETHODIMP QueryInfo(LPCWSTR url, QUERYOPTION option, DWORD, LPVOID, DWORD, DWORD*, DWORD) override {
    return Log("QueryInfo " + Narrow(url) + " " + std::to_string(option));
  }
  STDMETHODIMP SetPriority(LONG priority) override {
    m_priority = priority;
    return Log("SetPriority " + std::to_string(priority));
  }
  STDMETHODIMP GetPriority(LONG* priority) override {
    *priority = m_priority;
    return Log("GetPriority");
  }
  STDMETHODIMP Prepare() override { return Log("Prepare"); }
  STDMETHODIMP Continue() override { return Log("Continue"); }
  STDMETHODIMP QueryOption(DWORD option, LPVOID, DWORD*) override {
    return Log("QueryOption " + std::to_string(option));
  }
  STDMETHODIMP QueryInfo(DWORD option, LPVOID, DWORD*, DWORD*, DWORD*) override {
    return Log("QueryInfo " + std::to_string(option));
  }
  STDMETHODIMP SetCacheExtension(LPCWSTR extension, LPVOID, DWORD*, DWORD*, DWORD*) override {
    return Log("SetCacheExtension " + Narrow(extension));
  }
  STDMETHODIMP SetCacheExtension2(LPCWSTR extension, WCHAR*, DWORD*, DWORD*, DWORD*) override {
    return Log("SetCacheExtension2 " + Narrow(extension));
  }

 private:
  // A result of the handler's own that the caller must see unchanged.
  HRESULT Log(std::string call) {
    calls.push_back(std::move(call));
    return static_cast<HRESULT>(0x00000007);
  }
  static std::string Narrow(LPCWSTR text) { return std::string(text, text + wcslen(text)); }

  std::set<const IID*> m_offered;
  LONG m_priority = 0;
};

constexpr HRESULT kHandlersResult = 7;

// The protocol object in front of `handler`, as the namespace handler makes it.
ComPtr<IUnknown> ProtocolFor(CFakeHandler& handler) {
  const CaptureServices services = ProcessCaptureServices();
  auto target = std::make_shared<CUrlmonTarget>(ComPtr<IInternetProtocol>::Retain(&handler));
  auto engine = std::make_shared<CHttpHandlerAPP>(services.clock, services.cacheStore);
  return ComPtr<IUnknown>::Adopt(CUrlmonProtocol::Create(nullptr, engine, target));
}

template <typename Interface>
ComPtr<Interface> Ask(const ComPtr<IUnknown>& object, const IID& iid) {
  ComPtr<Interface> answer;
  EXPECT_EQ(S_OK, object.As(iid, answer));
  return answer;
}

TEST(ProtocolInterfaces, EachInterfaceOfTheHandlerIsOfferedWithTheObjectsIdentityAndPassesCallsOn) {
  CFakeHandler handler({&IID_IInternetProtocolInfo, &IID_IInternetPriority, &IID_IInternetThreadSwitch,
                        &IID_IWinInetHttpInfo, &IID_IWinInetCacheHints2});
  {
    const ComPtr<IUnknown> protocol = ProtocolFor(handler);
    const auto info = Ask<IInternetProtocolInfo>(protocol, IID_IInternetProtocolInfo);
    const auto priority = Ask<IInternetPriority>(protocol, IID_IInternetPriority);
    const auto threadSwitch = Ask<IInternetThreadSwitch>(protocol, IID_IInternetThreadSwitch);
    const auto httpInfo = Ask<IWinInetHttpInfo>(protocol, IID_IWinInetHttpInfo);
    const auto wininetInfo = Ask<IWinInetInfo>(protocol, IID_IWinInetInfo);
    const auto hints = Ask<IWinInetCacheHints2>(protocol, IID_IWinInetCacheHints2);
    const auto hints1 = Ask<IWinInetCacheHints>(protocol, IID_IWinInetCacheHints);
    for (IUnknown* answer : std::initializer_list<IUnknown*>{info.Get(), priority.Get(), threadSwitch.Get(),
                                                            httpInfo.Get(), hints.Get()}) {
      ComPtr<IUnknown> identity;
      ASSERT_EQ(S_OK, answer->QueryInterface(IID_IUnknown, identity.ReceiveVoid()));
      EXPECT_EQ(protocol.Get(), identity.Get());
    }

    DWORD size = 0;
    LONG got = 0;
    EXPECT_EQ(kHandlersResult, info->ParseUrl(L"http://a/", PARSE_CANONICALIZE, 0, nullptr, 0, &size, 0));
    EXPECT_EQ(kHandlersResult, info->CombineUrl(L"http://a/", L"b", 0, nullptr, 0, &size, 0));
    EXPECT_EQ(kHandlersResult, info->CompareUrl(L"http://a/", L"http://b/", 0));
    EXPECT_EQ(kHandlersResult, info->QueryInfo(L"http://a/", QUERY_USES_NETWORK, 0, nullptr, 0, &size, 0));
    EXPECT_EQ(kHandlersResult, priority->SetPriority(-3));
    EXPECT_EQ(kHandlersResult, priority->GetPriority(&got));
    EXPECT_EQ(-3, got);
    EXPECT_EQ(kHandlersResult, threadSwitch->Prepare());
    EXPECT_EQ(kHandlersResult, threadSwitch->Continue());
    EXPECT_EQ(kHandlersResult, httpInfo->QueryInfo(HTTP_QUERY_STATUS_CODE, nullptr, &size, nullptr, nullptr));
    EXPECT_EQ(kHandlersResult, hints1->SetCacheExtension(L"css", nullptr, &size, nullptr, nullptr));
    EXPECT_EQ(kHandlersResult, hints->SetCacheExtension2(L"js", nullptr, &size, nullptr, nullptr));
    // Options are not the handler's to answer through this object.
    EXPECT_EQ(S_FALSE, wininetInfo->QueryOption(INTERNET_OPTION_REQUEST_FLAGS, nullptr, &size));
    EXPECT_EQ((std::vector<std::string>{"ParseUrl http://a/ " + std::to_string(PARSE_CANONICALIZE),
                                        "CombineUrl http://a/ b", "CompareUrl http://a/ http://b/",
                                        "QueryInfo http://a/ " + std::to_string(QUERY_USES_NETWORK),
                                        "SetPriority -3", "GetPriority", "Prepare", "Continue",
                                        "QueryInfo " + std::to_string(HTTP_QUERY_STATUS_CODE),
                                        "SetCacheExtension css", "SetCacheExtension2 js"}),
              handler.calls);
  }
  EXPECT_EQ(0, handler.references);
}

TEST(ProtocolInterfaces, AnInterfaceTheHandlerLacksIsNotOffered) {
  CFakeHandler handler({&IID_IInternetPriority});
  {
    const ComPtr<IUnknown> protocol = ProtocolFor(handler);
    ComPtr<IUnknown> answer;
    for (const IID* iid : {&IID_IInternetProtocolInfo, &IID_IInternetThreadSwitch, &IID_IWinInetInfo,
                           &IID_IWinInetHttpInfo, &IID_IWinInetCacheHints, &IID_IWinInetCacheHints2}) {
      EXPECT_EQ(E_NOINTERFACE, protocol->QueryInterface(*iid, answer.ReceiveVoid()));
      EXPECT_EQ(nullptr, answer.Get());
    }
    // Asked twice, the handler's pointer is taken once and kept.
    EXPECT_EQ(S_OK, protocol->QueryInterface(IID_IInternetPriority, answer.ReceiveVoid()));
    EXPECT_EQ(S_OK, protocol->QueryInterface(IID_IInternetPriority, answer.ReceiveVoid()));
    answer.Reset();
    EXPECT_EQ(2, handler.references);  // the target's and the kept priority pointer
  }
  EXPECT_EQ(0, handler.references);
  EXPECT_TRUE(handler.calls.empty());
}

// Wine's own http handler offers priorities and HTTP information, not the rest.
TEST(ProtocolInterfaces, WinesHttpHandlerBehindTheObjectKeepsItsPriority) {
  ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK, CoGetClassObject(CLSID_HttpProtocol, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                   factory.ReceiveVoid()));
  ComPtr<IInternetProtocol> handler;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IInternetProtocol, handler.ReceiveVoid()));
  const CaptureServices services = ProcessCaptureServices();
  const auto protocol = ComPtr<IUnknown>::Adopt(CUrlmonProtocol::Create(
      nullptr, std::make_shared<CHttpHandlerAPP>(services.clock, services.cacheStore),
      std::make_shared<CUrlmonTarget>(handler)));
  const auto priority = Ask<IInternetPriority>(protocol, IID_IInternetPriority);
  LONG got = 0;
  ASSERT_EQ(S_OK, priority->SetPriority(5));
  ASSERT_EQ(S_OK, priority->GetPriority(&got));
  EXPECT_EQ(5, got);
  Ask<IWinInetHttpInfo>(protocol, IID_IWinInetHttpInfo);
  ComPtr<IUnknown> answer;
  EXPECT_EQ(E_NOINTERFACE, protocol->QueryInterface(IID_IInternetThreadSwitch, answer.ReceiveVoid()));
  CoUninitialize();
}

}  // namespace
}  // namespace tracewell::win
