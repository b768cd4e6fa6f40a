#include "cache/cookie_cache_dialog.h"

#include "cache/enumerate_cache.h"
#include "cache/save_cache_file.h"
#include "text/format.h"

namespace tracewell {

void CCookieCacheDialogModel::OnInitDialog() {
  EnumerateCache(
      m_platform.store, std::nullopt,
      [this](CacheEntrySnapshot&& entry) { m_entries.ClassifyCacheEntry(std::move(entry)); },
      m_platform.messages);
  for (const CacheHostGroup& group : m_entries.Groups()) {
    m_hostList.AppendRow({group.host, FormatText("%d", static_cast<int>(group.entries.size()))});
  }
  m_hostCount = m_entries.Groups().size();
}

void CCookieCacheDialogModel::OnHostListClick(std::optional<std::size_t> row) {
  if (row && *row < m_hostList.RowCount()) ShowHostFiles(*row);
}

void CCookieCacheDialogModel::OnHostListArrowKey(bool down) {
  if (const auto row = m_hostList.RowAfterArrowKey(down)) ShowHostFiles(*row);
}

void CCookieCacheDialogModel::ShowHostFiles(std::size_t hostRow) {
  const CacheHostGroup* group = m_entries.FindGroup(m_hostList.Cell(hostRow, host_column::kHostName));
  if (group == nullptr) return;
  m_fileList.DeleteAllRows();
  m_fileCount = group->entries.size();
  for (const CacheEntrySnapshot& entry : group->entries) m_fileList.InsertRowAtTop(CacheFileRow(entry));
}

void CCookieCacheDialogModel::OnFileListClick(bool onRow) {
  if (!onRow) return;
  if (const auto row = m_fileList.FirstSelectedRow()) PreviewFileRow(*row);
}

void CCookieCacheDialogModel::OnFileListArrowKey(bool down) {
  if (const auto row = m_fileList.RowAfterArrowKey(down)) PreviewFileRow(*row);
}

void CCookieCacheDialogModel::PreviewFileRow(std::size_t fileRow) {
  m_preview.PreviewCacheFile(m_fileList.Cell(fileRow, file_column::kFileName),
                             m_fileList.Cell(fileRow, file_column::kLocation));
}

void CCookieCacheDialogModel::OnClearCache() {
  const auto row = m_hostList.FirstSelectedRow();
  if (!row) {
    m_platform.messages.ShowMessage(kMsgSelectHostToDelete);
    return;
  }
  for (const CacheEntrySnapshot& entry : m_entries.TakeGroup(m_hostList.Cell(*row, host_column::kHostName))) {
    m_platform.store.DeleteUrlCacheEntry(entry.SourceUrlName);
  }
  m_fileList.DeleteAllRows();
  m_hostList.DeleteRow(*row);
}

void CCookieCacheDialogModel::OnClearCookie() {
  for (const CacheEntrySnapshot& entry : m_entries.TakeCookies()) {
    m_platform.store.DeleteUrlCacheEntry(entry.SourceUrlName);
  }
}

void CCookieCacheDialogModel::OnSaveAs() {
  SaveCacheFileAs(m_fileList, m_platform.saveDialog, m_platform.files, m_platform.messages);
}

}  // namespace tracewell
