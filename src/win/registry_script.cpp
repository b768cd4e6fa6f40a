#include "registry_script.h"

#include <cwctype>

namespace tracewell::win {
namespace {

struct Token {
  enum Kind { kWord, kQuoted, kOpen, kClose, kEquals, kEnd } kind = kEnd;
  std::wstring text;
  std::size_t offset = 0;
};

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

class ScriptParser {
 public:
  ScriptParser(std::wstring_view text, const ScriptReplacements& replacements)
      : m_text(text), m_replacements(replacements) {}

  std::optional<RegistryScript> Parse(std::wstring& error) {
    RegistryScript script;
    Advance();
    while (m_ok && m_token.kind != Token::kEnd) script.roots.push_back(ParseRoot());
    if (!m_ok) {
      error = m_error;
      return std::nullopt;
    }
    return script;
  }

 private:
  ScriptRootBlock ParseRoot() {
    ScriptRootBlock block;
    const auto root = RootNamed(m_token.text);
    if (m_token.kind != Token::kWord || !root) {
      Fail(L"a registry root (HKCR, HKLM or HKCU)");
      return block;
    }
    block.root = *root;
    Advance();
    Expect(Token::kOpen, L"'{'");
    while (m_ok && !AtBlockEnd()) block.keys.push_back(ParseKey());
    Expect(Token::kClose, L"'}'");
    return block;
  }

  ScriptKey ParseKey() {
    ScriptKey key;
    if (IsWord(L"ForceRemove")) {
      key.removal = KeyRemoval::kForceRemove;
      Advance();
    } else if (IsWord(L"NoRemove")) {
      key.removal = KeyRemoval::kNoRemove;
      Advance();
    }
    key.name = ParseName();
    if (m_ok && m_token.kind == Token::kEquals) {
      Advance();
      key.defaultText = ParseStringData();
    }
    if (m_ok && m_token.kind == Token::kOpen) {
      Advance();
      while (m_ok && !AtBlockEnd()) {
        if (IsWord(L"val")) {
          Advance();
          key.values.push_back(ParseValue());
        } else {
          key.subkeys.push_back(ParseKey());
        }
      }
      Expect(Token::kClose, L"'}'");
    }
    return key;
  }

  ScriptValue ParseValue() {
    ScriptValue value;
    value.name = ParseName();
    Expect(Token::kEquals, L"'='");
    value.text = ParseStringData();
    return value;
  }

  // "s 'text'": the only value type our scripts use.
  std::wstring ParseStringData() {
    if (!IsWord(L"s")) {
      Fail(L"the value type s");
      return {};
    }
    Advance();
    if (m_token.kind != Token::kQuoted) {
      Fail(L"a quoted text");
      return {};
    }
    std::wstring text = m_token.text;
    Advance();
    return text;
  }

  std::wstring ParseName() {
    if (m_token.kind != Token::kWord && m_token.kind != Token::kQuoted) {
      Fail(L"a key or value name");
      return {};
    }
    std::wstring name = m_token.text;
    Advance();
    return name;
  }

  static std::optional<ScriptRoot> RootNamed(std::wstring_view name) {
    if (EqualsNoCase(name, L"HKCR") || EqualsNoCase(name, L"HKEY_CLASSES_ROOT")) {
      return ScriptRoot::kClassesRoot;
    }
    if (EqualsNoCase(name, L"HKLM") || EqualsNoCase(name, L"HKEY_LOCAL_MACHINE")) {
      return ScriptRoot::kLocalMachine;
    }
    if (EqualsNoCase(name, L"HKCU") || EqualsNoCase(name, L"HKEY_CURRENT_USER")) {
      return ScriptRoot::kCurrentUser;
    }
    return std::nullopt;
  }

  // The closing brace, or the end where a closing brace is missing.
  bool AtBlockEnd() const { return m_token.kind == Token::kClose || m_token.kind == Token::kEnd; }

  bool IsWord(std::wstring_view word) const {
    return m_token.kind == Token::kWord && EqualsNoCase(m_token.text, word);
  }

  void Expect(Token::Kind kind, std::wstring_view what) {
    if (!m_ok) return;
    if (m_token.kind != kind) {
      Fail(what);
      return;
    }
    Advance();
  }

  void Fail(std::wstring_view expected) {
    if (!m_ok) return;
    m_ok = false;
    const std::wstring found = m_token.kind == Token::kEnd ? L"the end" : L"'" + m_token.text + L"'";
    m_error = L"expected " + std::wstring(expected) + L" at offset " +
              std::to_wstring(m_token.offset) + L", found " + found;
  }

  void Advance() {
    if (!m_ok) return;
    while (m_position < m_text.size() && std::iswspace(m_text[m_position])) ++m_position;
    m_token = {};
    m_token.offset = m_position;
    if (m_position == m_text.size()) return;
    if (m_text[m_position] == L'\'') {
      m_token.kind = Token::kQuoted;
      const std::wstring raw = ReadQuoted();
      if (m_ok) m_token.text = Replace(raw);
      return;
    }
    const std::wstring word = ReadWord();
    m_token.kind = word == L"{" ? Token::kOpen : word == L"}" ? Token::kClose
                 : word == L"=" ? Token::kEquals : Token::kWord;
    m_token.text = m_token.kind == Token::kWord ? Replace(word) : word;
  }

  std::wstring ReadWord() {
    const std::size_t begin = m_position;
    while (m_position < m_text.size() && !std::iswspace(m_text[m_position])) {
      ++m_position;
    }
    return std::wstring(m_text.substr(begin, m_position - begin));
  }

  // After the opening quote up to the closing one; '' inside is one quote.
  std::wstring ReadQuoted() {
    std::wstring text;
    ++m_position;
    for (;;) {
      if (m_position == m_text.size()) {
        m_ok = false;
        m_error = L"unterminated quoted text at offset " + std::to_wstring(m_token.offset);
        return text;
      }
      const wchar_t c = m_text[m_position++];
      if (c != L'\'') {
        text += c;
      } else if (m_position < m_text.size() && m_text[m_position] == L'\'') {
        text += L'\'';
        ++m_position;
      } else {
        return text;
      }
    }
  }

  std::wstring Replace(std::wstring_view raw) {
    std::wstring out;
    std::size_t i = 0;
    while (i < raw.size()) {
      if (raw[i] != L'%') {
        out += raw[i++];
        continue;
      }
      const std::size_t close = raw.find(L'%', i + 1);
      if (close == std::wstring_view::npos) {
        ReplacementError(L"a '%' without its closing '%'");
        return out;
      }
      const std::wstring_view name = raw.substr(i + 1, close - i - 1);
      if (name.empty()) {
        out += L'%';
      } else if (const std::wstring* value = ReplacementFor(name)) {
        out += *value;
      } else {
        ReplacementError(L"no replacement for %" + std::wstring(name) + L"%");
        return out;
      }
      i = close + 1;
    }
    return out;
  }

  const std::wstring* ReplacementFor(std::wstring_view name) const {
    for (const auto& [key, value] : m_replacements) {
      if (EqualsNoCase(key, name)) return &value;
    }
    return nullptr;
  }

  void ReplacementError(const std::wstring& what) {
    m_ok = false;
    m_error = what + L" at offset " + std::to_wstring(m_token.offset);
  }

  std::wstring_view m_text;
  const ScriptReplacements& m_replacements;
  std::size_t m_position = 0;
  Token m_token;
  bool m_ok = true;
  std::wstring m_error;
};

}  // namespace

std::optional<RegistryScript> ParseRegistryScript(std::wstring_view text,
                                                  const ScriptReplacements& replacements,
                                                  std::wstring& error) {
  return ScriptParser(text, replacements).Parse(error);
}

}  // namespace tracewell::win
