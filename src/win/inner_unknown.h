#pragma once
// The own IUnknown of an object that can be aggregated: it counts the object's
// references and deletes the object at the last one, and it answers the object's
// interfaces. Inside an aggregate every other interface's IUnknown calls go to the
// outer object; outside one, to this.
//
// Owner provides `void* FindInterface(REFIID)`: the interface pointer for `iid`, or
// null. Owner's destructor must be reachable from here (make this a friend).

#include <windows.h>

#include <unknwn.h>

namespace tracewell::win {

template <typename Owner>
class CInnerUnknown final : public IUnknown {
 public:
  explicit CInnerUnknown(Owner& owner) : m_owner(owner) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = iid == IID_IUnknown ? static_cast<IUnknown*>(this) : m_owner.FindInterface(iid);
    if (*object == nullptr) return E_NOINTERFACE;
    // Through the interface handed out, so that an aggregate counts it.
    static_cast<IUnknown*>(*object)->AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_nReferences)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG count = InterlockedDecrement(&m_nReferences);
    if (count == 0) delete &m_owner;
    return static_cast<ULONG>(count);
  }

 private:
  Owner& m_owner;
  volatile LONG m_nReferences = 1;
};

// Where an aggregatable object's IUnknown calls go.
inline IUnknown* ControllingUnknown(IUnknown* outer, IUnknown& inner) {
  return outer != nullptr ? outer : &inner;
}

}  // namespace tracewell::win
