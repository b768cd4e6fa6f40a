// Registry scripts: the grammar, replacements and errors, and the two scripts that
// tracewell.dll carries, read from the built library's resources.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "com_ids.h"
#include "registry_script.h"

namespace tracewell::win {
namespace {

void Describe(const ScriptKey& key, const std::wstring& indent, std::wstring& out) {
  static const wchar_t* const kRemoval[] = {L"", L"ForceRemove ", L"NoRemove "};
  out += indent + kRemoval[static_cast<int>(key.removal)] + L"[" + key.name + L"]";
  if (key.defaultText) out += L" = \"" + *key.defaultText + L"\"";
  out += L"\n";
  for (const ScriptValue& value : key.values) {
    out += indent + L"  " + value.name + L" = \"" + value.text + L"\"\n";
  }
  for (const ScriptKey& subkey : key.subkeys) Describe(subkey, indent + L"  ", out);
}

// The script as an indented outline, one key or value a line.
std::wstring Describe(const RegistryScript& script) {
  static const wchar_t* const kRoots[] = {L"HKCR", L"HKLM", L"HKCU"};
  std::wstring out;
  for (const ScriptRootBlock& block : script.roots) {
    out += std::wstring(kRoots[static_cast<int>(block.root)]) + L"\n";
    for (const ScriptKey& key : block.keys) Describe(key, L"  ", out);
  }
  return out;
}

std::wstring ParseToOutline(std::wstring_view text, const ScriptReplacements& replacements = {}) {
  std::wstring error;
  const auto script = ParseRegistryScript(text, replacements, error);
  return script ? Describe(*script) : L"error: " + error;
}

// A script resource of the built library, loaded as data (no DllMain).
std::wstring ShippedScript(int id) {
  const HMODULE library = LoadLibraryExW(L"tracewell.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  EXPECT_NE(nullptr, library);
  const HRSRC resource = FindResourceW(library, MAKEINTRESOURCEW(id), L"REGISTRY");
  EXPECT_NE(nullptr, resource);
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(library, resource)));
  const std::string text(bytes, SizeofResource(library, resource));
  FreeLibrary(library);
  return std::wstring(text.begin(), text.end());
}

const ScriptReplacements kModuleReplacements = {
    {L"APPID", kAppIdText}, {L"Module", L"C:\\it's\\tracewell.dll"}, {L"Module_Raw", L"C:\\it's\\tracewell.dll"}};

TEST(RegistryScript, ShippedAppIdScript) {
  EXPECT_EQ(L"HKCR\n"
            L"  NoRemove [AppID]\n"
            L"    [{8A61F0D2-3C47-4B8E-A5D9-6E2F1B7C4A93}] = \"Bandkit\"\n"
            L"    [Bandkit.DLL]\n"
            L"      AppID = \"{8A61F0D2-3C47-4B8E-A5D9-6E2F1B7C4A93}\"\n",
            ParseToOutline(ShippedScript(kScriptAppId), kModuleReplacements));
}

TEST(RegistryScript, ShippedClassScript) {
  EXPECT_EQ(L"HKCR\n"
            L"  [Bandkit.HttpApp.1] = \"Tracewell\"\n"
            L"    [CLSID] = \"{5D2E8C41-7A3B-4F19-9C6E-2B4A7D1E3F58}\"\n"
            L"  [Bandkit.HttpApp] = \"Tracewell Class\"\n"
            L"    [CLSID] = \"{5D2E8C41-7A3B-4F19-9C6E-2B4A7D1E3F58}\"\n"
            L"    [CurVer] = \"Tracewell.Tracewell.1\"\n"
            L"  NoRemove [CLSID]\n"
            L"    ForceRemove [{5D2E8C41-7A3B-4F19-9C6E-2B4A7D1E3F58}] = \"Tracewell\"\n"
            L"      [ProgID] = \"Bandkit.HttpApp.1\"\n"
            L"      [VersionIndependentProgID] = \"Tracewell.Tracewell\"\n"
            L"      ForceRemove [Programmable]\n"
            L"      [InprocServer32] = \"C:\\it's\\tracewell.dll\"\n"
            L"        ThreadingModel = \"Apartment\"\n"
            L"HKLM\n"
            L"  NoRemove [Software]\n"
            L"    NoRemove [Microsoft]\n"
            L"      NoRemove [Internet Explorer]\n"
            L"        NoRemove [Extensions]\n"
            L"          ForceRemove [{C47B2E95-6D1A-4F83-B02E-9A5C3D8E71F6}]\n"
            L"            Default Visible = \"Yes\"\n"
            L"            ButtonText = \"Tracewell Version 1.0\"\n"
            L"            MenuText = \"Tracewell V1.0\"\n"
            L"            MenuStatusBar = \"Displays the Tracewell Plug-In\"\n"
            L"            ToolTip = \"Tracewell V1.0\"\n"
            L"            CLSID = \"{E0DD6CAB-2D10-11D2-8F1A-0000F87ABD16}\"\n"
            L"            BandCLSID = \"{5D2E8C41-7A3B-4F19-9C6E-2B4A7D1E3F58}\"\n"
            L"            HotIcon = \"C:\\it's\\tracewell.dll,297\"\n"
            L"            Icon = \"C:\\it's\\tracewell.dll,297\"\n",
            ParseToOutline(ShippedScript(kScriptHttpApp), kModuleReplacements));
}

TEST(RegistryScript, QuotesPercentSignsAndReplacementsInAnyCase) {
  EXPECT_EQ(L"HKCU\n"
            L"  [it's %here%] = \"100% x:Y\"\n"
            L"    a b = \"''\"\n",
            ParseToOutline(L"hkey_current_user { 'it''s %%here%%' = S '100%% %x%:%Y%' "
                           L"{ VAL 'a b' = s '''''' } }",
                           {{L"X", L"x"}, {L"y", L"Y"}}));
  EXPECT_EQ(L"HKLM\nHKCR\n", ParseToOutline(L"HKLM { } HKCR { }"));
  EXPECT_EQ(L"", ParseToOutline(L"  \r\n\t "));
}

TEST(RegistryScript, RefusesWhatItCannotWrite) {
  EXPECT_EQ(L"error: expected a registry root (HKCR, HKLM or HKCU) at offset 0, found 'HKU'",
            ParseToOutline(L"HKU { }"));
  EXPECT_EQ(L"error: expected the value type s at offset 13, found 'd'",
            ParseToOutline(L"HKCR { key = d '1' }"));
  EXPECT_EQ(L"error: expected a quoted text at offset 15, found 'text'",
            ParseToOutline(L"HKCR { key = s text }"));
  EXPECT_EQ(L"error: expected '}' at offset 18, found the end", ParseToOutline(L"HKCR { key { sub }"));
  EXPECT_EQ(L"error: expected a key or value name at offset 7, found '='", ParseToOutline(L"HKCR { = s 'x' }"));
  EXPECT_EQ(L"error: expected '=' at offset 19, found 's'", ParseToOutline(L"HKCR { key { val v s 'x' } }"));
  EXPECT_EQ(L"error: unterminated quoted text at offset 13", ParseToOutline(L"HKCR { key = 'open }"));
  EXPECT_EQ(L"error: no replacement for %MODULE% at offset 15",
            ParseToOutline(L"HKCR { key = s '%MODULE%' }"));
  EXPECT_EQ(L"error: a '%' without its closing '%' at offset 7", ParseToOutline(L"HKCR { 50% }"));
}

}  // namespace
}  // namespace tracewell::win
