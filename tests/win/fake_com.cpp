#include "fake_com.h"

namespace tracewell::win::test {
namespace fake_com {
namespace {

HRESULT STDMETHODCALLTYPE QueryInterfaceEntry(void* self, const IID& iid, void** out) {
  return FaceOf(self).owner->Query(iid, out);
}

ULONG STDMETHODCALLTYPE AddRefEntry(void* self) { return FaceOf(self).owner->AddReference(); }

ULONG STDMETHODCALLTYPE ReleaseEntry(void* self) { return FaceOf(self).owner->ReleaseReference(); }

// Every method no test set. Under the x64 calling convention the caller clears its
// arguments, so one function serves methods of any arguments.
HRESULT STDMETHODCALLTYPE NotImplemented() { return E_NOTIMPL; }

}  // namespace

void Log(void* self, std::u16string call) { FaceOf(self).owner->Log(std::move(call)); }

HRESULT Query(CFakeCom& object, const IID& iid, void** out) { return object.Query(iid, out); }

}  // namespace fake_com

HRESULT CFakeCom::Query(const IID& iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  fake_com::Face* face = FindFace(iid);
  if (face == nullptr && (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) &&
      !m_faces.empty()) {
    face = m_faces.front().get();
  }
  if (face == nullptr) return E_NOINTERFACE;
  AddReference();
  *out = &face->head;
  return S_OK;
}

ULONG CFakeCom::ReleaseReference() {
  const LONG left = InterlockedDecrement(&m_references);
  TRACEWELL_FAKE_COM_CHECK(left >= 0);  // a reference given back twice
  return static_cast<ULONG>(left);
}

void CFakeCom::Log(std::u16string call) {
  if (m_log != nullptr) m_log->push_back(m_name + u" " + std::move(call));
}

fake_com::Face* CFakeCom::FindFace(const IID& iid) {
  for (const auto& face : m_faces) {
    if (IsEqualIID(face->iid, iid)) return face.get();
  }
  return nullptr;
}

fake_com::Face& CFakeCom::FaceFor(const IID& iid) {
  if (fake_com::Face* face = FindFace(iid)) return *face;
  auto face = std::make_unique<fake_com::Face>();
  face->owner = this;
  face->iid = iid;
  face->table.fill(reinterpret_cast<fake_com::Entry>(&fake_com::NotImplemented));
  face->table[0] = reinterpret_cast<fake_com::Entry>(&fake_com::QueryInterfaceEntry);
  face->table[1] = reinterpret_cast<fake_com::Entry>(&fake_com::AddRefEntry);
  face->table[2] = reinterpret_cast<fake_com::Entry>(&fake_com::ReleaseEntry);
  face->head = {face->table.data(), face.get()};
  m_faces.push_back(std::move(face));
  return *m_faces.back();
}

std::vector<std::u16string> CFakeComObjects::StillHeld() const {
  std::vector<std::u16string> held;
  for (const auto& object : m_objects) {
    if (object->References() == 0) continue;
    const std::string count = std::to_string(object->References());
    held.push_back(object->Name() + u" " + std::u16string(count.begin(), count.end()));
  }
  return held;
}

}  // namespace tracewell::win::test
