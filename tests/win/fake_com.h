#pragma once
// COM objects for tests of code that calls wide interfaces (MSHTML's have up to two
// hundred methods each) of which a test needs a few. A fake object offers interfaces
// ("faces"); each face is a table of function pointers in the layout COM fixes
// (IUnknown's three methods, then the interface's own in declaration order) in which
// every method answers E_NOTIMPL until the test gives it an answer: a text, a number,
// another fake, items by index, a failure, or a record of the call in a shared log.
// The test names each method as the library calls it:
//
//   element.SetText<&IHTMLElement::get_outerHTML>(u"<p>x</p>");
//   element.Fail<&IHTMLElement::get_innerText>();
//
// A method goes on the face of the interface that declares it; one that an interface
// inherits names that interface too: `SetText<&IWebBrowser2::get_Type, IWebBrowser2>`.
//
// Fakes never delete themselves: the test owns them (`CFakeComObjects`) and checks at
// the end that every reference the library took was given back.

#include <windows.h>

#include <oleauto.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "text/assert.h"

namespace tracewell::win::test {

using FakeCallLog = std::vector<std::u16string>;

// The fakes' own assumptions, checked in every build: the tests are built without the
// core's assertions.
#define TRACEWELL_FAKE_COM_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::tracewell::detail::AssertionFailed(#condition, __FILE__, __LINE__))

class CFakeCom;

namespace fake_com {

// One entry of a face's table; every entry is called with the face as its first
// argument, as COM calls its methods.
using Entry = void (*)();
inline constexpr std::size_t kEntries = 256;  // IHTMLStyle, the widest face, needs 186

// The entry of an interface method, from its member pointer: g++ (the Itanium C++
// ABI, which mingw-w64 follows) stores a pointer to a virtual member function as one
// plus the byte offset of its entry in the table.
template <typename Method>
std::size_t EntryOf(Method method) {
  static_assert(sizeof(Method) == 2 * sizeof(std::uintptr_t));
  std::uintptr_t words[2];
  std::memcpy(words, &method, sizeof words);
  TRACEWELL_FAKE_COM_CHECK(words[0] % 2 == 1);  // a virtual function
  const std::size_t entry = (words[0] - 1) / sizeof(Entry);
  TRACEWELL_FAKE_COM_CHECK(entry < kEntries);
  return entry;
}

// What one method answers.
struct Answer {
  HRESULT result = S_OK;
  std::u16string text;  // a getter's text, a call's name in the log, a lookup's key
  LONG number = 0;
  CFakeCom* object = nullptr;
  std::vector<CFakeCom*> items;  // by index; null: that item's call fails
};

struct Face {
  // What the interface pointer points at: the table first, as COM wants it.
  struct Head {
    const Entry* table;
    Face* face;
  } head{};
  CFakeCom* owner = nullptr;
  IID iid{};
  std::array<Entry, kEntries> table{};
  std::map<std::size_t, Answer> answers;
};

inline Face& FaceOf(void* self) { return *static_cast<Face::Head*>(self)->face; }
inline const Answer& AnswerOf(void* self, std::size_t entry) { return FaceOf(self).answers.at(entry); }
void Log(void* self, std::u16string call);
HRESULT Query(CFakeCom& object, const IID& iid, void** out);

inline BSTR NewBstr(const std::u16string& text) {
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

inline std::u16string TextOf(BSTR text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}
inline std::u16string Describe(BSTR text) {
  std::u16string described(u"=");
  described.append(TextOf(text));
  return described;
}
inline std::u16string Describe(const VARIANT& value) {
  if (value.vt != VT_BOOL) return u"(?)";
  return value.boolVal == VARIANT_FALSE ? u"(false)" : u"(true)";
}

// The handlers of the answers, one instance per method.

template <auto Method, typename Interface>
HRESULT STDMETHODCALLTYPE AnswerText(Interface* self, BSTR* out) {
  *out = NewBstr(AnswerOf(self, EntryOf(Method)).text);
  return S_OK;
}

template <auto Method, typename Interface>
HRESULT STDMETHODCALLTYPE AnswerNumber(Interface* self, LONG* out) {
  *out = AnswerOf(self, EntryOf(Method)).number;
  return S_OK;
}

template <auto Method, typename Interface, typename Out>
HRESULT STDMETHODCALLTYPE AnswerObject(Interface* self, Out** out) {
  *out = nullptr;
  CFakeCom* object = AnswerOf(self, EntryOf(Method)).object;
  return object == nullptr ? S_OK : Query(*object, __uuidof(Out), reinterpret_cast<void**>(out));
}

// An object found by a text argument (a tag name); another text finds nothing.
template <auto Method, typename Interface, typename Out>
HRESULT STDMETHODCALLTYPE AnswerLookup(Interface* self, BSTR key, Out** out) {
  *out = nullptr;
  const Answer& answer = AnswerOf(self, EntryOf(Method));
  if (TextOf(key) != answer.text) return E_INVALIDARG;
  return Query(*answer.object, __uuidof(Out), reinterpret_cast<void**>(out));
}

inline HRESULT ItemAt(const Answer& answer, const VARIANT& index, IDispatch** out) {
  *out = nullptr;
  if (index.vt != VT_I4 || index.lVal < 0 || static_cast<std::size_t>(index.lVal) >= answer.items.size()) {
    return E_INVALIDARG;
  }
  CFakeCom* item = answer.items[static_cast<std::size_t>(index.lVal)];
  return item == nullptr ? E_FAIL : Query(*item, __uuidof(IDispatch), reinterpret_cast<void**>(out));
}

// item(name, index, IDispatch**) of element collections and forms: the position as
// the name.
template <auto Method, typename Interface>
HRESULT STDMETHODCALLTYPE AnswerNamedItem(Interface* self, VARIANT name, VARIANT, IDispatch** out) {
  return ItemAt(AnswerOf(self, EntryOf(Method)), name, out);
}

// item(VARIANT* index, VARIANT* result) of style sheets and frames.
template <auto Method, typename Interface>
HRESULT STDMETHODCALLTYPE AnswerVariantItem(Interface* self, VARIANT* index, VARIANT* result) {
  VariantInit(result);
  IDispatch* item = nullptr;
  const HRESULT found = ItemAt(AnswerOf(self, EntryOf(Method)), *index, &item);
  if (FAILED(found)) return found;
  result->vt = VT_DISPATCH;
  result->pdispVal = item;
  return S_OK;
}

template <auto Method, typename Interface, typename... Args>
HRESULT STDMETHODCALLTYPE AnswerFailure(Interface* self, Args...) {
  return AnswerOf(self, EntryOf(Method)).result;
}

// Logs "<fake> <call><argument>" for a method of one argument (a text or a flag).
template <auto Method, typename Interface, typename Argument>
HRESULT STDMETHODCALLTYPE RecordCall(Interface* self, Argument argument) {
  Log(self, AnswerOf(self, EntryOf(Method)).text + Describe(argument));
  return S_OK;
}

// A property's setter: logged, and what its getter answers from now on.
template <auto Put, auto Get, typename Interface>
HRESULT STDMETHODCALLTYPE RecordProperty(Interface* self, BSTR text) {
  Log(self, AnswerOf(self, EntryOf(Put)).text + Describe(text));
  FaceOf(self).answers.at(EntryOf(Get)).text = TextOf(text);
  return S_OK;
}

// The handler instances for a method, its argument types taken from its member pointer.
template <auto Method, typename Interface, typename Out>
constexpr auto ObjectHandler(HRESULT (STDMETHODCALLTYPE Interface::*)(Out**)) {
  return &AnswerObject<Method, Interface, Out>;
}
template <auto Method, typename Interface, typename Out>
constexpr auto LookupHandler(HRESULT (STDMETHODCALLTYPE Interface::*)(BSTR, Out**)) {
  return &AnswerLookup<Method, Interface, Out>;
}
template <auto Method, typename Interface>
constexpr auto ItemsHandler(HRESULT (STDMETHODCALLTYPE Interface::*)(VARIANT, VARIANT, IDispatch**)) {
  return &AnswerNamedItem<Method, Interface>;
}
template <auto Method, typename Interface>
constexpr auto ItemsHandler(HRESULT (STDMETHODCALLTYPE Interface::*)(VARIANT*, VARIANT*)) {
  return &AnswerVariantItem<Method, Interface>;
}
template <auto Method, typename Interface, typename... Args>
constexpr auto FailureHandler(HRESULT (STDMETHODCALLTYPE Interface::*)(Args...)) {
  return &AnswerFailure<Method, Interface, Args...>;
}
template <auto Method, typename Interface, typename Argument>
constexpr auto RecordHandler(HRESULT (STDMETHODCALLTYPE Interface::*)(Argument)) {
  return &RecordCall<Method, Interface, Argument>;
}
template <typename Method>
struct InterfaceOf;
template <typename Interface, typename... Args>
struct InterfaceOf<HRESULT (STDMETHODCALLTYPE Interface::*)(Args...)> {
  using Type = Interface;
};
// The interface that declares the method.
template <auto Method>
using Declarer = typename InterfaceOf<decltype(Method)>::Type;

}  // namespace fake_com

class CFakeCom {
 public:
  CFakeCom(std::u16string name, FakeCallLog* log) : m_name(std::move(name)), m_log(log) {}
  CFakeCom(const CFakeCom&) = delete;
  CFakeCom& operator=(const CFakeCom&) = delete;

  const std::u16string& Name() const { return m_name; }
  LONG References() const { return m_references; }

  // IUnknown's three, for every face.
  HRESULT Query(const IID& iid, void** out);
  ULONG AddReference() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
  ULONG ReleaseReference();
  // Appends "<name> <call>" to the test's log.
  void Log(std::u16string call);

  // QueryInterface finds the interface; its methods answer E_NOTIMPL until set. The
  // first interface offered also answers for IUnknown and IDispatch.
  template <typename Interface>
  CFakeCom& Offer() {
    FaceFor(__uuidof(Interface));
    return *this;
  }

  // The interface, without a reference for the caller: the test holds the fake.
  template <typename Interface>
  Interface* As() {
    return reinterpret_cast<Interface*>(&FaceFor(__uuidof(Interface)).head);
  }

  template <auto Method, typename Face = fake_com::Declarer<Method>>
  CFakeCom& SetText(std::u16string text) {
    Install<Face>(Method, &fake_com::AnswerText<Method, fake_com::Declarer<Method>>).text = std::move(text);
    return *this;
  }

  template <auto Method, typename Face = fake_com::Declarer<Method>>
  CFakeCom& SetNumber(LONG number) {
    Install<Face>(Method, &fake_com::AnswerNumber<Method, fake_com::Declarer<Method>>).number = number;
    return *this;
  }

  // Hands out that fake's interface with a reference; a null fake: none, and success.
  template <auto Method, typename Face = fake_com::Declarer<Method>>
  CFakeCom& SetObject(CFakeCom* object) {
    Install<Face>(Method, fake_com::ObjectHandler<Method>(Method)).object = object;
    return *this;
  }

  // Hands out the fake for that text argument only.
  template <auto Method, typename Face = fake_com::Declarer<Method>>
  CFakeCom& SetLookup(std::u16string key, CFakeCom& object) {
    fake_com::Answer& answer = Install<Face>(Method, fake_com::LookupHandler<Method>(Method));
    answer.text = std::move(key);
    answer.object = &object;
    return *this;
  }

  // item() by position; a null item's call fails. The length answers apart, so a test
  // can state more items than there are.
  template <auto Method, typename Face = fake_com::Declarer<Method>>
  CFakeCom& SetItems(std::vector<CFakeCom*> items) {
    Install<Face>(Method, fake_com::ItemsHandler<Method>(Method)).items = std::move(items);
    return *this;
  }

  template <auto Method, typename Face = fake_com::Declarer<Method>>
  CFakeCom& Fail(HRESULT result = E_FAIL) {
    Install<Face>(Method, fake_com::FailureHandler<Method>(Method)).result = result;
    return *this;
  }

  // Logs each call as "<fake name> <call><argument>".
  template <auto Method, typename Face = fake_com::Declarer<Method>>
  CFakeCom& Record(std::u16string call) {
    Install<Face>(Method, fake_com::RecordHandler<Method>(Method)).text = std::move(call);
    return *this;
  }

  // A text property: the getter answers `text`, the setter is logged and changes it.
  template <auto Put, auto Get, typename Face = fake_com::Declarer<Put>>
  CFakeCom& SetProperty(std::u16string call, std::u16string text) {
    static_assert(std::is_same_v<fake_com::Declarer<Put>, fake_com::Declarer<Get>>);
    SetText<Get, Face>(std::move(text));
    Install<Face>(Put, &fake_com::RecordProperty<Put, Get, fake_com::Declarer<Put>>).text = std::move(call);
    return *this;
  }

 private:
  // Puts the handler in the method's entry on that face; the handler takes the
  // method's arguments, or this does not compile.
  template <typename Face, typename Interface, typename... Args>
  fake_com::Answer& Install(HRESULT (STDMETHODCALLTYPE Interface::*method)(Args...),
                            HRESULT (STDMETHODCALLTYPE* handler)(Interface*, Args...)) {
    static_assert(std::is_base_of_v<Interface, Face>);
    fake_com::Face& face = FaceFor(__uuidof(Face));
    const std::size_t entry = fake_com::EntryOf(method);
    face.table[entry] = reinterpret_cast<fake_com::Entry>(handler);
    return face.answers[entry];
  }

  fake_com::Face& FaceFor(const IID& iid);
  fake_com::Face* FindFace(const IID& iid);

  std::u16string m_name;
  FakeCallLog* m_log;
  volatile LONG m_references = 0;
  std::vector<std::unique_ptr<fake_com::Face>> m_faces;  // stable addresses
};

// The fakes of one test, made in one place, so that one check finds any reference
// still held.
class CFakeComObjects {
 public:
  explicit CFakeComObjects(FakeCallLog* log = nullptr) : m_log(log) {}

  CFakeCom& Add(std::u16string name) {
    m_objects.push_back(std::make_unique<CFakeCom>(std::move(name), m_log));
    return *m_objects.back();
  }

  // "<name> <count>" of every fake with references not given back.
  std::vector<std::u16string> StillHeld() const;

 private:
  FakeCallLog* m_log;
  std::vector<std::unique_ptr<CFakeCom>> m_objects;
};

}  // namespace tracewell::win::test
