#include "filter_dialog.h"

#include <commctrl.h>

#include <iterator>
#include <string>

#include "dialog_template.h"
#include "list_styles.h"
#include "modal_dialog.h"
#include "wide_text.h"

namespace tracewell::win {
namespace {

namespace id = filter_dialog_id;
namespace text = filter_dialog_text;

constexpr DWORD kListStyle = WS_BORDER | WS_TABSTOP | LVS_SHOWSELALWAYS | LVS_SINGLESEL;
// A list row's check box is its state image: 1 unchecked, 2 checked.
constexpr UINT kUncheckedImage = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT kCheckedImage = INDEXTOSTATEIMAGEMASK(2);

CDialogTemplate FilterTemplate() {
  CDialogTemplate dialog(Wide(text::kTitle), 340, 262);
  dialog.AddItem(L"Button", Wide(text::kOptionsGroup), kNoControlId, BS_GROUPBOX, 7, 4, 326, 30);
  dialog.AddItem(L"Button", Wide(text::kEnableFiltering), id::kEnableFiltering, BS_AUTOCHECKBOX | WS_TABSTOP,
                 14, 16, 90, 10);
  dialog.AddItem(L"Static", Wide(text::kCombineLabel), kNoControlId, SS_LEFT, 150, 17, 96, 10);
  dialog.AddItem(L"Button", Wide(text::kOr), id::kOr, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 250, 16, 34, 10);
  dialog.AddItem(L"Button", Wide(text::kAnd), id::kAnd, BS_AUTORADIOBUTTON, 288, 16, 38, 10);
  dialog.AddItem(L"Button", Wide(text::kConditionsGroup), kNoControlId, BS_GROUPBOX | WS_GROUP, 7, 38, 326, 198);
  dialog.AddItem(L"Button", Wide(text::kStatusCode), id::kStatusCode, BS_AUTOCHECKBOX | WS_TABSTOP, 14, 50, 90, 10);
  dialog.AddItem(WC_LISTVIEWW, L"", id::kStatusList, kListStyle | LVS_REPORT, 14, 62, 312, 100);
  dialog.AddItem(L"Button", Wide(text::kContentType), id::kContentType, BS_AUTOCHECKBOX | WS_TABSTOP, 14, 168, 90, 10);
  dialog.AddItem(WC_LISTVIEWW, L"", id::kTypeList, kListStyle | LVS_SMALLICON, 14, 180, 312, 50);
  dialog.AddItem(L"Button", Wide(text::kOk), IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 226, 242, 50, 14);
  dialog.AddItem(L"Button", Wide(text::kCancel), IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 283, 242, 50, 14);
  return dialog;
}

class CFilterDialog final : public CModalDialog {
 public:
  explicit CFilterDialog(FilterSettings& settings) : m_model(settings) {}

  bool Run(HWND owner) { return RunModal(owner, FilterTemplate()) == IDOK; }

 private:
  bool OnInitDialog() override;
  bool OnCommand(WORD control, WORD code) override;
  bool OnNotify(const NMHDR& header) override;
  void FillLists();
  // The model's checks, radio choice, list rows and enabling onto the controls.
  void Refresh();
  void OnListChanged(const NMLISTVIEW& change);

  void SetChecked(WORD control, bool checked) {
    SendMessageW(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  CFilterDialogModel m_model;
  // Set while the dialog writes the lists' check boxes itself: those changes are not
  // the user's.
  bool m_writingRows = false;
};

void AddColumn(HWND list, int index, std::u16string_view title, int width) {
  std::wstring header = Wide(title);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = header.data();
  SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void AddRow(HWND list, int row, std::u16string_view first) {
  std::wstring cell = Wide(first);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = cell.data();
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void SetCell(HWND list, int row, int column, std::u16string_view text) {
  std::wstring cell = Wide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = cell.data();
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SetRowChecked(HWND list, std::size_t row, bool checked) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = checked ? kCheckedImage : kUncheckedImage;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

bool CFilterDialog::OnInitDialog() {
  FillLists();
  Refresh();
  return true;
}

void CFilterDialog::FillLists() {
  const HWND status = Control(id::kStatusList);
  SendMessageW(status, LVM_SETEXTENDEDLISTVIEWSTYLE, kCheckListStyles, kCheckListStyles);
  AddColumn(status, 0, text::kStatusColumn, text::kStatusColumnWidth);
  AddColumn(status, 1, text::kDescriptionColumn, text::kDescriptionColumnWidth);
  for (std::size_t row = 0; row < kFilterStatusCodes.size(); ++row) {
    AddRow(status, static_cast<int>(row), kFilterStatusCodes[row].code);
    SetCell(status, static_cast<int>(row), 1, kFilterStatusCodes[row].description);
  }
  const HWND types = Control(id::kTypeList);
  SendMessageW(types, LVM_SETEXTENDEDLISTVIEWSTYLE, kCheckListStyles, kCheckListStyles);
  for (std::size_t row = 0; row < kFilterContentTypes.size(); ++row) {
    AddRow(types, static_cast<int>(row), kFilterContentTypes[row]);
  }
}

void CFilterDialog::Refresh() {
  SetChecked(id::kEnableFiltering, m_model.IsChecked(FilterCheckBox::kEnableFiltering));
  SetChecked(id::kStatusCode, m_model.IsChecked(FilterCheckBox::kStatusCode));
  SetChecked(id::kContentType, m_model.IsChecked(FilterCheckBox::kContentType));
  SetChecked(id::kOr, !m_model.AndChosen());
  SetChecked(id::kAnd, m_model.AndChosen());
  m_writingRows = true;
  for (const auto& [list, control] : {std::pair{FilterList::kStatusCodes, id::kStatusList},
                                      std::pair{FilterList::kContentTypes, id::kTypeList}}) {
    for (std::size_t row = 0; row < m_model.RowCount(list); ++row) {
      SetRowChecked(Control(control), row, m_model.IsRowChecked(list, row));
    }
  }
  m_writingRows = false;
  EnableWindow(Control(id::kStatusCode), m_model.IsEnabled(FilterControl::kStatusCheck));
  EnableWindow(Control(id::kContentType), m_model.IsEnabled(FilterControl::kTypeCheck));
  EnableWindow(Control(id::kStatusList), m_model.IsEnabled(FilterControl::kStatusList));
  EnableWindow(Control(id::kTypeList), m_model.IsEnabled(FilterControl::kTypeList));
  EnableWindow(Control(id::kOr), m_model.IsEnabled(FilterControl::kCombine));
  EnableWindow(Control(id::kAnd), m_model.IsEnabled(FilterControl::kCombine));
}

bool CFilterDialog::OnCommand(WORD control, WORD code) {
  if (code != BN_CLICKED) return false;
  switch (control) {
    case id::kEnableFiltering:
      m_model.ClickCheckBox(FilterCheckBox::kEnableFiltering);
      break;
    case id::kStatusCode:
      m_model.ClickCheckBox(FilterCheckBox::kStatusCode);
      break;
    case id::kContentType:
      m_model.ClickCheckBox(FilterCheckBox::kContentType);
      break;
    case id::kOr:
    case id::kAnd:
      m_model.ChooseCombine(control == id::kAnd);
      break;
    case IDOK:
      m_model.Ok();
      End(IDOK);
      return true;
    default:
      return false;
  }
  Refresh();
  return true;
}

// A row's check box went on or off; the model may refuse it (a disabled list), so
// the rows show what it kept.
void CFilterDialog::OnListChanged(const NMLISTVIEW& change) {
  if (m_writingRows || (change.uChanged & LVIF_STATE) == 0 || change.iItem < 0) return;
  if (((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) == 0) return;
  const FilterList list = change.hdr.idFrom == id::kStatusList ? FilterList::kStatusCodes : FilterList::kContentTypes;
  const auto row = static_cast<std::size_t>(change.iItem);
  if (row >= m_model.RowCount(list)) return;
  m_model.SetRowChecked(list, row, (change.uNewState & LVIS_STATEIMAGEMASK) == kCheckedImage);
  Refresh();
}

bool CFilterDialog::OnNotify(const NMHDR& header) {
  if (header.code != LVN_ITEMCHANGED) return false;
  if (header.idFrom != id::kStatusList && header.idFrom != id::kTypeList) return false;
  OnListChanged(reinterpret_cast<const NMLISTVIEW&>(header));
  return true;
}

}  // namespace

bool RunFilterDialog(HWND owner, FilterSettings& settings) {
  return CFilterDialog(settings).Run(owner);
}

}  // namespace tracewell::win
