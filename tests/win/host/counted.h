#pragma once
// Reference counting for the fakes: they live on the test's stack, never delete
// themselves, and let the test check that every reference the library took was given
// back.

#include <windows.h>

namespace tracewell::win::test {

class CReferenceCount {
 public:
  ULONG Add() { return static_cast<ULONG>(InterlockedIncrement(&m_count)); }
  ULONG Remove() { return static_cast<ULONG>(InterlockedDecrement(&m_count)); }
  LONG Held() const { return m_count; }

 private:
  volatile LONG m_count = 0;
};

}  // namespace tracewell::win::test
