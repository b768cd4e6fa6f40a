#pragma once
// A counted interface pointer: releases what it holds.

#include <windows.h>

#include <unknwn.h>

#include <utility>

namespace tracewell::win {

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr& other) : m_p(other.m_p) {
    if (m_p != nullptr) m_p->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(m_p, other.m_p);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Takes over the reference that `p` comes with.
  static ComPtr Adopt(Interface* p) {
    ComPtr ptr;
    ptr.m_p = p;
    return ptr;
  }

  // Takes a new reference to `p`.
  static ComPtr Retain(Interface* p) {
    ComPtr ptr;
    ptr.m_p = p;
    if (p != nullptr) p->AddRef();
    return ptr;
  }

  void Reset() {
    if (m_p != nullptr) std::exchange(m_p, nullptr)->Release();
  }
  // For an out parameter: releases what is held and hands out the slot.
  Interface** Receive() {
    Reset();
    return &m_p;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

  Interface* Get() const { return m_p; }
  Interface* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }

  // Asks the held object for another interface.
  template <typename Other>
  HRESULT As(const IID& iid, ComPtr<Other>& other) const {
    if (m_p == nullptr) return E_POINTER;
    return m_p->QueryInterface(iid, other.ReceiveVoid());
  }
  // The held object as another interface (named by its declared identity), or null
  // when it has none.
  template <typename Other>
  ComPtr<Other> Query() const {
    ComPtr<Other> other;
    if (FAILED(As(__uuidof(Other), other))) return {};
    return other;
  }

 private:
  Interface* m_p = nullptr;
};

}  // namespace tracewell::win
