#pragma once
// The cookie and cache manager as a model: the cached responses grouped by web host,
// the files of the chosen host with a preview, and the buttons that delete a host's
// files or all cookies. The store is read once, when the dialog opens.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "cache/cache_entry_store.h"
#include "cache/cache_file_list.h"
#include "cache/cache_groups.h"
#include "cache/cache_preview.h"
#include "cache/selectable_list.h"
#include "text/message_box.h"

namespace tracewell {

namespace cookie_cache_dialog_text {
inline constexpr std::u16string_view kTitle = u"Clear Cache and Cookie";
inline constexpr std::u16string_view kHostCountLabel = u"History:";
inline constexpr std::u16string_view kFileCountLabel = u"Cache:";
inline constexpr std::u16string_view kClearCache = u"Clear Cache";
inline constexpr std::u16string_view kClearCookie = u"Clear Cookie";
inline constexpr std::u16string_view kSaveAs = u"Save As...";
inline constexpr std::u16string_view kExit = u"Exit";
}  // namespace cookie_cache_dialog_text

namespace host_column {
inline constexpr std::size_t kHostName = 0;
inline constexpr std::size_t kNumber = 1;
}  // namespace host_column

inline constexpr std::array<ListColumn, 2> kHostListColumns = {{{u"HostName", 125}, {u"Number", 59}}};

inline constexpr UserMessage kMsgSelectHostToDelete{u"Please select an item to delete.", u"Delete"};

// What the manager needs from the platform.
struct CookieCachePlatform {
  ICacheEnumerationStore& store;
  const IUrlHostParser& urls;
  IMessageBox& messages;
  ICacheFiles& files;
  ISaveFileDialog& saveDialog;
  const IPictureDecoder& pictures;
};

class CCookieCacheDialogModel {
 public:
  explicit CCookieCacheDialogModel(const CookieCachePlatform& platform)
      : m_platform(platform), m_entries(platform.urls), m_preview(platform.files, platform.pictures) {}

  // Reads the whole store and lists one row per host group, in the order met.
  void OnInitDialog();

  // The host toolkit reports selection changes into the lists.
  CSelectableTextList& HostList() { return m_hostList; }
  const CSelectableTextList& HostList() const { return m_hostList; }
  CSelectableTextList& FileList() { return m_fileList; }
  const CSelectableTextList& FileList() const { return m_fileList; }
  CCachePreview& Preview() { return m_preview; }
  const CCachePreview& Preview() const { return m_preview; }
  const CCacheEntryGroups& Entries() const { return m_entries; }

  // The two counters: set when the dialog opens and when a host is shown, and left
  // alone by the clear buttons.
  std::size_t HostCount() const { return m_hostCount; }
  std::size_t FileCount() const { return m_fileCount; }

  // A click on the host list, on the row named or (none) on an empty part.
  void OnHostListClick(std::optional<std::size_t> row);
  // Up or Down in the host list, before the list moves its selection.
  void OnHostListArrowKey(bool down);
  // A click on the file list, on a row or not: previews the first selected row.
  void OnFileListClick(bool onRow);
  void OnFileListArrowKey(bool down);

  // "Clear Cache": deletes the files of the first selected host from the store.
  void OnClearCache();
  // "Clear Cookie": deletes every cookie listed, with no question and no message.
  void OnClearCookie();
  // "Save As...".
  void OnSaveAs();

 private:
  void ShowHostFiles(std::size_t hostRow);
  void PreviewFileRow(std::size_t fileRow);

  CookieCachePlatform m_platform;
  CCacheEntryGroups m_entries;
  CSelectableTextList m_hostList{kHostListColumns.size()};
  CSelectableTextList m_fileList{kFileListColumns.size()};
  CCachePreview m_preview;
  std::size_t m_hostCount = 0;
  std::size_t m_fileCount = 0;
};

}  // namespace tracewell
