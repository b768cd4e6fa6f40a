#pragma once
// The server's module: one per process. It counts the locks that keep the library
// loaded (every live object and every IClassFactory::LockServer(TRUE)) and knows where
// the library file is.

#include <windows.h>

#include <string>

namespace tracewell::win {

class CBandkitModule {
 public:
  static CBandkitModule& Get();

  void Init(HINSTANCE instance);
  HINSTANCE Instance() const { return m_instance; }
  // The library's full path, for the registry scripts and the type library.
  std::wstring ModulePath() const;

  LONG Lock() { return InterlockedIncrement(&m_nLocks); }
  LONG Unlock() { return InterlockedDecrement(&m_nLocks); }
  LONG LockCount() const { return m_nLocks; }

  // DllInstall's "user": the type library goes to the current user's registry.
  void SetPerUser(bool perUser) { m_bPerUser = perUser; }
  bool PerUser() const { return m_bPerUser; }

 private:
  HINSTANCE m_instance = nullptr;
  volatile LONG m_nLocks = 0;
  bool m_bPerUser = false;
};

// Holds one module lock for as long as it lives.
class CModuleLock {
 public:
  CModuleLock() { CBandkitModule::Get().Lock(); }
  ~CModuleLock() { CBandkitModule::Get().Unlock(); }
  CModuleLock(const CModuleLock&) = delete;
  CModuleLock& operator=(const CModuleLock&) = delete;
};

}  // namespace tracewell::win
