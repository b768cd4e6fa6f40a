#include "about_box.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "dialog_template.h"
#include "module.h"
#include "product_addresses.h"
#include "wide_text.h"

namespace tracewell::win {
namespace {

constexpr WORD kPictureId = 100;
constexpr WORD kHomePageId = 101;
constexpr WORD kEmailId = 102;
constexpr int kProductIcon = 297;

std::wstring Link(const std::wstring& target, const std::wstring& text) {
  return L"<a href=\"" + target + L"\">" + text + L"</a>";
}

CDialogTemplate AboutTemplate() {
  const std::wstring home = Wide(HomePage());
  const std::wstring email = Wide(SupportEmail());
  CDialogTemplate dialog(L"About Tracewell 1.0", 200, 86);
  dialog.AddItem(L"Static", L"", kPictureId, SS_ICON, 10, 10, 20, 20);
  dialog.AddItem(L"Static", L"Tracewell V1.0 ", kNoControlId, SS_LEFT, 40, 10, 150, 10);
  dialog.AddItem(L"Static", L"HomePage:", kNoControlId, SS_LEFT, 40, 26, 40, 10);
  dialog.AddItem(WC_LINK, Link(home, home), kHomePageId, WS_TABSTOP, 82, 26, 110, 10);
  dialog.AddItem(L"Static", L"Email:", kNoControlId, SS_LEFT, 40, 40, 40, 10);
  dialog.AddItem(WC_LINK, Link(L"mailto:" + email, email), kEmailId, WS_TABSTOP, 82, 40, 110, 10);
  dialog.AddItem(L"Button", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 75, 62, 50, 14);
  return dialog;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const HICON icon = LoadIconW(CBandkitModule::Get().Instance(), MAKEINTRESOURCEW(kProductIcon));
      SendDlgItemMessageW(dialog, kPictureId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* link = reinterpret_cast<const NMLINK*>(lParam);
      if (link->hdr.code == NM_CLICK || link->hdr.code == NM_RETURN) {
        ShellExecuteW(dialog, L"open", link->item.szUrl, nullptr, nullptr, SW_SHOWNORMAL);
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowAboutBox(HWND owner) {
  INITCOMMONCONTROLSEX links{sizeof(links), ICC_LINK_CLASS};
  InitCommonControlsEx(&links);
  const CDialogTemplate dialog = AboutTemplate();
  DialogBoxIndirectParamW(CBandkitModule::Get().Instance(), dialog.Get(), owner, AboutProc, 0);
}

}  // namespace tracewell::win
