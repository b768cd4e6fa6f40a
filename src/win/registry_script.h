#pragma once
// Registry scripts: the text resources that say which keys and values registration
// writes and unregistration removes. The grammar is the usual registrar one:
//
//   HKCR { NoRemove AppID { '%APPID%' = s 'Bandkit' 'Bandkit.DLL' { val AppID = s '%APPID%' } } }
//
// Tokens are separated by white space ("{5D2E...}" is a name, "{" opens a block). A
// root (HKCR, HKLM, HKCU or their long names) holds keys. A key is a name (a bare word
// or a quoted string, '' standing for a quote) with an optional removal word before it
// (ForceRemove: replaced whole on registration and removed whole; NoRemove: never
// removed itself), an optional default value "= s 'text'" and an optional block of
// subkeys and named values "val Name = s 'text'". %NAME% in a name or text is replaced
// by the caller's value for NAME (any case); %% is a percent sign. Only string values
// are written by our scripts, so other value types are refused.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tracewell::win {

enum class KeyRemoval { kNormal, kForceRemove, kNoRemove };

struct ScriptValue {
  std::wstring name;
  std::wstring text;
};

struct ScriptKey {
  std::wstring name;
  KeyRemoval removal = KeyRemoval::kNormal;
  std::optional<std::wstring> defaultText;
  std::vector<ScriptValue> values;
  std::vector<ScriptKey> subkeys;
};

enum class ScriptRoot { kClassesRoot, kLocalMachine, kCurrentUser };

struct ScriptRootBlock {
  ScriptRoot root = ScriptRoot::kClassesRoot;
  std::vector<ScriptKey> keys;
};

struct RegistryScript {
  std::vector<ScriptRootBlock> roots;
};

using ScriptReplacements = std::vector<std::pair<std::wstring, std::wstring>>;

// The script, or none with the reason in `error` (which names what was found where).
std::optional<RegistryScript> ParseRegistryScript(std::wstring_view text,
                                                  const ScriptReplacements& replacements,
                                                  std::wstring& error);

}  // namespace tracewell::win
