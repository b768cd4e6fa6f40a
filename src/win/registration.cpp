#include "registration.h"

#include <comcat.h>
#include <shlguid.h>

#include <optional>
#include <string>

#include "com_ids.h"
#include "com_ptr.h"
#include "module.h"
#include "registry_apply.h"
#include "registry_script.h"
#include "type_library.h"

namespace tracewell::win {
namespace {

// The shell's cache of the horizontal bars it knows; without its "Implementing" value
// the browser looks for bars again and finds ours.
constexpr wchar_t kBarCacheKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\"
    L"Component Categories\\{00021494-0000-0000-C000-000000000046}\\Enum";

// Registry texts are read and written in the system's locale, whatever the thread has.
class SystemLocaleScope {
 public:
  SystemLocaleScope() : m_previous(GetThreadLocale()) { SetThreadLocale(LOCALE_SYSTEM_DEFAULT); }
  ~SystemLocaleScope() { SetThreadLocale(m_previous); }
  SystemLocaleScope(const SystemLocaleScope&) = delete;
  SystemLocaleScope& operator=(const SystemLocaleScope&) = delete;

 private:
  LCID m_previous;
};

// The script in resource `id` (type REGISTRY, UTF-8 text) with the module's
// replacements; none when it is missing or does not parse, which the tests rule out.
std::optional<RegistryScript> LoadScript(int id) {
  const HINSTANCE module = CBandkitModule::Get().Instance();
  const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
  const HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) {
    OutputDebugStringW(L"tracewell: a registry script resource is missing\n");
    return std::nullopt;
  }
  const int size = static_cast<int>(SizeofResource(module, resource));
  const auto* narrow = static_cast<const char*>(bytes);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, narrow, size, text.data(), size);
  text.resize(static_cast<std::size_t>(length));

  const std::wstring path = CBandkitModule::Get().ModulePath();
  const ScriptReplacements replacements = {
      {L"APPID", kAppIdText}, {L"Module", path}, {L"Module_Raw", path}};
  std::wstring error;
  auto script = ParseRegistryScript(text, replacements, error);
  if (!script) OutputDebugStringW((L"tracewell: registry script " + std::to_wstring(id) + L": " + error + L"\n").c_str());
  return script;
}

HRESULT RunScript(int id, bool registering) {
  const auto script = LoadScript(id);
  if (!script) return E_UNEXPECTED;
  return registering ? RegisterScript(*script) : UnregisterScript(*script);
}

HRESULT WithCategoryManager(ComPtr<ICatRegister>& categories) {
  return CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                          IID_ICatRegister, categories.ReceiveVoid());
}

HRESULT RegisterBandCategory() {
  ComPtr<ICatRegister> categories;
  if (const HRESULT hr = WithCategoryManager(categories); FAILED(hr)) return hr;
  CATID category = CATID_CommBand;
  return categories->RegisterClassImplCategories(kClsidTracewellApp, 1, &category);
}

HRESULT UnregisterBandCategory() {
  ComPtr<ICatRegister> categories;
  if (const HRESULT hr = WithCategoryManager(categories); FAILED(hr)) return hr;
  CATID category = CATID_CommBand;
  return categories->UnRegisterClassImplCategories(kClsidTracewellApp, 1, &category);
}

// A missing key or value is what we want anyway.
HRESULT ForgetCachedBars() {
  HKEY key = nullptr;
  LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, kBarCacheKey, 0, KEY_SET_VALUE, &key);
  if (status == ERROR_SUCCESS) {
    status = RegDeleteValueW(key, L"Implementing");
    RegCloseKey(key);
  }
  const bool gone = status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ||
                    status == ERROR_PATH_NOT_FOUND;
  return gone ? S_OK : HRESULT_FROM_WIN32(status);
}

}  // namespace

HRESULT RegisterServer() {
  SystemLocaleScope locale;
  HRESULT hr = RunScript(kScriptAppId, true);
  if (SUCCEEDED(hr)) hr = RunScript(kScriptHttpApp, true);
  if (SUCCEEDED(hr)) hr = RegisterBandCategory();
  if (SUCCEEDED(hr)) hr = RegisterTypeLibrary(CBandkitModule::Get().PerUser());
  if (SUCCEEDED(hr)) hr = ForgetCachedBars();
  return hr;
}

// Every step runs even when one before it failed, so that as much as possible goes;
// the first failure is the answer.
HRESULT UnregisterServer() {
  SystemLocaleScope locale;
  HRESULT first = S_OK;
  auto step = [&first](HRESULT hr) {
    if (FAILED(hr) && SUCCEEDED(first)) first = hr;
  };
  step(UnregisterBandCategory());
  step(RunScript(kScriptHttpApp, false));
  step(UnregisterTypeLibrary(CBandkitModule::Get().PerUser()));
  step(RunScript(kScriptAppId, false));
  return first;
}

bool IsPerUserCommand(const wchar_t* commandLine) {
  return commandLine != nullptr && CompareStringOrdinal(commandLine, -1, L"user", -1, TRUE) == CSTR_EQUAL;
}

HRESULT InstallServer(BOOL install, const wchar_t* commandLine) {
  if (IsPerUserCommand(commandLine)) CBandkitModule::Get().SetPerUser(true);
  if (!install) return UnregisterServer();
  const HRESULT hr = RegisterServer();
  // The registration's own failure is the answer; undoing it takes out what it wrote,
  // as far as it can.
  if (FAILED(hr)) UnregisterServer();
  return hr;
}

}  // namespace tracewell::win
