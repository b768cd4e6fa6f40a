#include "registry_apply.h"

namespace tracewell::win {
namespace {

// Closes a key when it goes out of scope.
class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (m_key != nullptr) RegCloseKey(m_key);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY* Receive() { return &m_key; }
  HKEY Get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

HKEY RootKey(ScriptRoot root) {
  switch (root) {
    case ScriptRoot::kClassesRoot: return HKEY_CLASSES_ROOT;
    case ScriptRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case ScriptRoot::kCurrentUser: return HKEY_CURRENT_USER;
  }
  return nullptr;
}

bool IsMissing(LSTATUS status) {
  return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

HRESULT SetString(HKEY key, const wchar_t* name, const std::wstring& text) {
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return HRESULT_FROM_WIN32(
      RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes));
}

HRESULT RegisterKey(HKEY parent, const ScriptKey& scriptKey) {
  if (scriptKey.removal == KeyRemoval::kForceRemove) {
    const LSTATUS status = RegDeleteTreeW(parent, scriptKey.name.c_str());
    if (status != ERROR_SUCCESS && !IsMissing(status)) return HRESULT_FROM_WIN32(status);
  }
  RegKey key;
  const LSTATUS status = RegCreateKeyExW(parent, scriptKey.name.c_str(), 0, nullptr, 0,
                                         KEY_READ | KEY_WRITE, nullptr, key.Receive(), nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  if (scriptKey.defaultText) {
    if (const HRESULT hr = SetString(key.Get(), nullptr, *scriptKey.defaultText); FAILED(hr)) {
      return hr;
    }
  }
  for (const ScriptValue& value : scriptKey.values) {
    if (const HRESULT hr = SetString(key.Get(), value.name.c_str(), value.text); FAILED(hr)) {
      return hr;
    }
  }
  for (const ScriptKey& subkey : scriptKey.subkeys) {
    if (const HRESULT hr = RegisterKey(key.Get(), subkey); FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT DeleteValues(HKEY key, const ScriptKey& scriptKey) {
  for (const ScriptValue& value : scriptKey.values) {
    const LSTATUS status = RegDeleteValueW(key, value.name.c_str());
    if (status != ERROR_SUCCESS && !IsMissing(status)) return HRESULT_FROM_WIN32(status);
  }
  return S_OK;
}

HRESULT UnregisterKey(HKEY parent, const ScriptKey& scriptKey) {
  if (scriptKey.removal == KeyRemoval::kForceRemove) {
    const LSTATUS status = RegDeleteTreeW(parent, scriptKey.name.c_str());
    return status == ERROR_SUCCESS || IsMissing(status) ? S_OK : HRESULT_FROM_WIN32(status);
  }
  RegKey key;
  LSTATUS status = RegOpenKeyExW(parent, scriptKey.name.c_str(), 0, KEY_READ | KEY_WRITE, key.Receive());
  if (IsMissing(status)) return S_OK;
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  for (const ScriptKey& subkey : scriptKey.subkeys) {
    if (const HRESULT hr = UnregisterKey(key.Get(), subkey); FAILED(hr)) return hr;
  }
  if (scriptKey.removal == KeyRemoval::kNoRemove) return S_OK;
  if (const HRESULT hr = DeleteValues(key.Get(), scriptKey); FAILED(hr)) return hr;
  DWORD subkeys = 0;
  status = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  if (subkeys > 0) return S_OK;  // someone else's keys live below it
  status = RegDeleteKeyW(parent, scriptKey.name.c_str());
  return status == ERROR_SUCCESS || IsMissing(status) ? S_OK : HRESULT_FROM_WIN32(status);
}

template <typename KeyAction>
HRESULT ForEachKey(const RegistryScript& script, KeyAction action) {
  for (const ScriptRootBlock& block : script.roots) {
    for (const ScriptKey& key : block.keys) {
      if (const HRESULT hr = action(RootKey(block.root), key); FAILED(hr)) return hr;
    }
  }
  return S_OK;
}

}  // namespace

HRESULT RegisterScript(const RegistryScript& script) { return ForEachKey(script, RegisterKey); }

HRESULT UnregisterScript(const RegistryScript& script) { return ForEachKey(script, UnregisterKey); }

}  // namespace tracewell::win
