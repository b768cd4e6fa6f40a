#pragma once
// One of the default handler's interfaces that the protocol object offers in turn:
// asked of the handler on the first request for it and kept until the protocol object
// goes. urlmon may ask from several threads at once.

#include <windows.h>

#include <mutex>

#include "com_ptr.h"

namespace tracewell::win {

template <typename Interface>
class CTargetInterface {
 public:
  explicit CTargetInterface(const IID& iid) : m_iid(iid) {}

  // The handler's pointer for the interface, or null when it does not offer it.
  Interface* Get(IUnknown* handler) {
    const std::lock_guard lock(m_mutex);
    if (!m_pointer && handler != nullptr) {
      ComPtr<Interface> pointer;
      if (SUCCEEDED(handler->QueryInterface(m_iid, pointer.ReceiveVoid()))) m_pointer = pointer;
    }
    return m_pointer.Get();
  }

 private:
  const IID& m_iid;
  std::mutex m_mutex;
  ComPtr<Interface> m_pointer;
};

}  // namespace tracewell::win
