#pragma once
// The identities this library registers and answers to.

#include <guiddef.h>

namespace tracewell::win {

// The band class; its text form is written by the registry scripts.
inline constexpr CLSID kClsidTracewellApp = {
    0x5D2E8C41, 0x7A3B, 0x4F19, {0x9C, 0x6E, 0x2B, 0x4A, 0x7D, 0x1E, 0x3F, 0x58}};
inline constexpr wchar_t kAppIdText[] = L"{8A61F0D2-3C47-4B8E-A5D9-6E2F1B7C4A93}";

// The type library and its dual interface; they match tracewell.idl.
inline constexpr GUID kLibidBandkitLib = {
    0x7EBF317B, 0xC430, 0x48C5, {0x89, 0x84, 0x47, 0x64, 0x92, 0x21, 0x0C, 0x06}};
inline constexpr IID kIidTracewellApp = {
    0x64BE19BE, 0x656A, 0x45DA, {0x8B, 0xFA, 0xC9, 0x03, 0xE5, 0x94, 0x05, 0x31}};

// Resource ids of the registry scripts (type REGISTRY) and the button's icon group.
inline constexpr int kScriptAppId = 101;
inline constexpr int kScriptHttpApp = 103;

}  // namespace tracewell::win
