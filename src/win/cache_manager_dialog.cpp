#include "cache_manager_dialog.h"

#include <commctrl.h>

#include <string>

#include "cache_platform.h"
#include "capture/wininet_cache_store.h"
#include "dialog_template.h"
#include "list_styles.h"
#include "modal_dialog.h"
#include "sort_arrow.h"
#include "wide_text.h"
#include "win_collator.h"
#include "win_message_box.h"

namespace tracewell::win {
namespace {

namespace id = cache_manager_id;
namespace text = cookie_cache_dialog_text;

constexpr DWORD kListStyle = WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS;
constexpr DWORD kButtonStyle = BS_PUSHBUTTON | WS_TABSTOP;
// The file list's lower edge and the preview area below it, in dialog units.
constexpr short kPreviewTop = 122;
constexpr short kPreviewHeight = 112;

CDialogTemplate CacheManagerTemplate() {
  CDialogTemplate dialog(Wide(text::kTitle), 350, 263);
  dialog.AddItem(L"Static", Wide(text::kHostCountLabel), kNoControlId, SS_LEFT, 7, 7, 40, 8);
  dialog.AddItem(L"Static", L"", id::kHostCount, SS_RIGHT, 50, 7, 40, 8);
  dialog.AddItem(L"Static", Wide(text::kFileCountLabel), kNoControlId, SS_LEFT, 122, 7, 30, 8);
  dialog.AddItem(L"Static", L"", id::kFileCount, SS_RIGHT, 155, 7, 40, 8);
  dialog.AddItem(WC_LISTVIEWW, L"", id::kHostList, kListStyle, 7, 18, 110, 216);
  dialog.AddItem(WC_LISTVIEWW, L"", id::kFileList, kListStyle, 122, 18, 221, 100);
  dialog.AddItem(L"Static", L"", id::kPreviewFrame, SS_BLACKFRAME, 122, kPreviewTop, 221, kPreviewHeight);
  dialog.AddItem(L"Edit", L"", id::kPreviewText,
                 ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_BORDER,
                 122, kPreviewTop, 221, kPreviewHeight);
  dialog.AddItem(L"Button", Wide(text::kClearCache), id::kClearCache, kButtonStyle, 7, 242, 55, 14);
  dialog.AddItem(L"Button", Wide(text::kClearCookie), id::kClearCookie, kButtonStyle, 67, 242, 55, 14);
  dialog.AddItem(L"Button", Wide(text::kSaveAs), id::kSaveAs, kButtonStyle, 127, 242, 55, 14);
  dialog.AddItem(L"Button", Wide(text::kExit), id::kExit, kButtonStyle, 288, 242, 55, 14);
  return dialog;
}

template <std::size_t N>
void AddColumns(HWND list, const std::array<ListColumn, N>& columns) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, kFixedListStyles, kFixedListStyles);
  for (std::size_t index = 0; index < N; ++index) {
    std::wstring title = Wide(columns[index].title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = columns[index].width;
    column.pszText = title.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
  }
}

class CCacheManagerDialog final : public CModalDialog {
 public:
  CCacheManagerDialog()
      : m_messages(nullptr),
        m_saveDialog(nullptr),
        m_model({m_store, m_urls, m_messages, m_files, m_saveDialog, m_pictures}) {}

  void Run(HWND owner) { RunModal(owner, CacheManagerTemplate()); }

 private:
  bool OnInitDialog() override;
  bool OnCommand(WORD control, WORD code) override;
  bool OnNotify(const NMHDR& header) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // What a list's notification asks of the model beyond its own rows: a click on a
  // row (or on no row), or Up or Down before the list moves its selection.
  struct ListInput {
    enum class Kind { kNone, kClick, kArrowKey } kind = Kind::kNone;
    std::optional<std::size_t> row;  // of a click
    bool down = false;               // of an arrow key
  };
  // Selection changes and header clicks go to the model's list at once; the rest
  // comes back as input.
  ListInput ReadListNotify(const NMHDR& header, WORD control, CSelectableTextList& rows);
  // A list's selection change, told to the model's list (the rows are the model's,
  // in its order).
  void OnSelectionChanged(const NMLISTVIEW& change, CSelectableTextList& rows);
  // A header click sorts the list.
  void OnColumnClick(const NMLISTVIEW& click, WORD control, CSelectableTextList& rows);

  // The model's rows, counters and preview onto the controls.
  void ShowRows(WORD list, const CSelectableTextList& rows);
  void ShowCounters();
  void ShowPreview();
  void PaintPicture(HDC dc) const;
  RECT PreviewArea() const;

  CWinInetCacheStore m_store;
  CWinUrlHostParser m_urls;
  CWinMessageBox m_messages;
  CWinCacheFiles m_files;
  CWinSaveFileDialog m_saveDialog;
  CWinPictureDecoder m_pictures;
  CCookieCacheDialogModel m_model;
  CWinCollator m_collator;
  // Set while the dialog writes the lists' rows itself: those changes are not the user's.
  bool m_writingRows = false;
};

bool CCacheManagerDialog::OnInitDialog() {
  CenterOnOwner();
  m_messages.SetOwner(Dialog());
  m_saveDialog.SetOwner(Dialog());
  AddColumns(Control(id::kHostList), kHostListColumns);
  AddColumns(Control(id::kFileList), kFileListColumns);
  ShowCounters();
  const RECT area = PreviewArea();
  const HDC screen = GetDC(nullptr);
  m_model.Preview().SetArea({area.left, area.top, area.right - area.left, area.bottom - area.top},
                            {GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)});
  ReleaseDC(nullptr, screen);
  m_model.OnInitDialog();
  ShowRows(id::kHostList, m_model.HostList());
  ShowCounters();
  ShowWindow(Control(id::kPreviewFrame), SW_HIDE);
  ShowPreview();
  return true;
}

bool CCacheManagerDialog::OnCommand(WORD control, WORD code) {
  if (code != BN_CLICKED) return false;
  switch (control) {
    case id::kClearCache:
      m_model.OnClearCache();
      ShowRows(id::kHostList, m_model.HostList());
      ShowRows(id::kFileList, m_model.FileList());
      return true;
    case id::kClearCookie:
      m_model.OnClearCookie();
      return true;
    case id::kSaveAs:
      m_model.OnSaveAs();
      return true;
    default:
      return false;
  }
}

// A click on a host, or Up or Down, shows that host's files; on a file, previews it.
bool CCacheManagerDialog::OnNotify(const NMHDR& header) {
  using Kind = ListInput::Kind;
  if (header.idFrom == id::kHostList) {
    const ListInput input = ReadListNotify(header, id::kHostList, m_model.HostList());
    if (input.kind == Kind::kNone) return true;
    if (input.kind == Kind::kClick) m_model.OnHostListClick(input.row);
    if (input.kind == Kind::kArrowKey) m_model.OnHostListArrowKey(input.down);
    ShowRows(id::kFileList, m_model.FileList());
    ShowCounters();
    return true;
  }
  if (header.idFrom == id::kFileList) {
    const ListInput input = ReadListNotify(header, id::kFileList, m_model.FileList());
    if (input.kind == Kind::kNone) return true;
    if (input.kind == Kind::kClick) m_model.OnFileListClick(input.row.has_value());
    if (input.kind == Kind::kArrowKey) m_model.OnFileListArrowKey(input.down);
    ShowPreview();
    return true;
  }
  return false;
}

CCacheManagerDialog::ListInput CCacheManagerDialog::ReadListNotify(const NMHDR& header, WORD control,
                                                                   CSelectableTextList& rows) {
  switch (header.code) {
    case LVN_ITEMCHANGED:
      OnSelectionChanged(reinterpret_cast<const NMLISTVIEW&>(header), rows);
      return {};
    case LVN_COLUMNCLICK:
      OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header), control, rows);
      return {};
    case NM_CLICK: {
      const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
      return {ListInput::Kind::kClick, row < 0 ? std::nullopt : std::optional<std::size_t>(row), false};
    }
    case LVN_KEYDOWN: {
      const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
      if (key != VK_UP && key != VK_DOWN) return {};
      return {ListInput::Kind::kArrowKey, std::nullopt, key == VK_DOWN};
    }
    default:
      return {};
  }
}

void CCacheManagerDialog::OnSelectionChanged(const NMLISTVIEW& change, CSelectableTextList& rows) {
  if (m_writingRows || (change.uChanged & LVIF_STATE) == 0) return;
  if (((change.uNewState ^ change.uOldState) & LVIS_SELECTED) == 0) return;
  const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
  if (change.iItem < 0) {  // every row at once
    for (std::size_t row = 0; row < rows.RowCount(); ++row) rows.SetSelected(row, selected);
    return;
  }
  const auto row = static_cast<std::size_t>(change.iItem);
  if (row < rows.RowCount()) rows.SetSelected(row, selected);
}

void CCacheManagerDialog::OnColumnClick(const NMLISTVIEW& click, WORD control, CSelectableTextList& rows) {
  if (click.iSubItem < 0 || static_cast<std::size_t>(click.iSubItem) >= rows.ColumnCount()) return;
  rows.SortByColumn(static_cast<std::size_t>(click.iSubItem), m_collator);
  ShowRows(control, rows);
  ShowSortArrow(Control(control), ShownSort{*rows.SortColumn(), rows.SortDescending()});
}

// The picture is drawn on the dialog's own surface, under the hidden text box.
bool CCacheManagerDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_PRINTCLIENT) {
    PaintPicture(reinterpret_cast<HDC>(wParam));
    return true;
  }
  if (message != WM_PAINT) return false;
  PAINTSTRUCT paint{};
  const HDC dc = BeginPaint(Dialog(), &paint);
  PaintPicture(dc);
  EndPaint(Dialog(), &paint);
  return true;
}

void CCacheManagerDialog::ShowRows(WORD control, const CSelectableTextList& rows) {
  const HWND list = Control(control);
  m_writingRows = true;
  // A host may have thousands of files: the list is drawn once, when it is full.
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  SendMessageW(list, LVM_SETITEMCOUNT, rows.RowCount(), 0);
  for (std::size_t row = 0; row < rows.RowCount(); ++row) {
    const auto cells = rows.Row(row);
    for (std::size_t column = 0; column < cells.size(); ++column) {
      std::wstring cell = Wide(cells[column]);
      LVITEMW item{};
      item.iItem = static_cast<int>(row);
      item.iSubItem = static_cast<int>(column);
      item.pszText = cell.data();
      if (column == 0) {
        item.mask = LVIF_TEXT | LVIF_STATE;
        item.stateMask = LVIS_SELECTED;
        item.state = rows.IsSelected(row) ? LVIS_SELECTED : 0;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      } else {
        SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
      }
    }
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  m_writingRows = false;
}

void CCacheManagerDialog::ShowCounters() {
  SetDlgItemInt(Dialog(), id::kHostCount, static_cast<UINT>(m_model.HostCount()), FALSE);
  SetDlgItemInt(Dialog(), id::kFileCount, static_cast<UINT>(m_model.FileCount()), FALSE);
}

// A text in the text box, or the box hidden and the area painted again: erased, then
// the picture, if one was decoded, where the model placed it.
void CCacheManagerDialog::ShowPreview() {
  const CCachePreview& preview = m_model.Preview();
  const HWND box = Control(id::kPreviewText);
  if (preview.IsTextShown()) {
    SetWindowTextW(box, Wide(preview.Text()).c_str());
    ShowWindow(box, SW_SHOW);
    return;
  }
  ShowWindow(box, SW_HIDE);
  const RECT area = PreviewArea();
  InvalidateRect(Dialog(), &area, TRUE);
  UpdateWindow(Dialog());
}

void CCacheManagerDialog::PaintPicture(HDC dc) const {
  const CCachePreview& preview = m_model.Preview();
  if (preview.IsTextShown()) return;
  const RECT area = PreviewArea();
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  const auto* picture = dynamic_cast<const CWinPreviewPicture*>(preview.Picture());
  if (picture == nullptr) return;
  const PixelRect place = preview.PictureRect();
  picture->Draw(dc, {place.left, place.top, place.left + place.width, place.top + place.height});
}

// The text box's rectangle in the dialog's client coordinates.
RECT CCacheManagerDialog::PreviewArea() const {
  RECT area{};
  GetWindowRect(Control(id::kPreviewText), &area);
  MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&area), 2);
  return area;
}

}  // namespace

void RunCookieCacheManager(HWND owner) { CCacheManagerDialog().Run(owner); }

}  // namespace tracewell::win
