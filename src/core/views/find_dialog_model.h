#pragma once
// The Find dialog as a model: the text (with the texts searched before), the two
// options, the direction, the seven scopes and Find Next, which selects and shows the
// next matching row of the grid and stays open for the next press.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/user_message.h"
#include "views/find.h"
#include "views/main_window_model.h"

namespace tracewell {

namespace find_dialog_text {
inline constexpr std::u16string_view kTitle = u"Tracewell- Find";
inline constexpr std::u16string_view kTextLabel = u"Text to find:";
inline constexpr std::u16string_view kOptionsGroup = u"Options";
inline constexpr std::u16string_view kMatchCase = u"Match case";
inline constexpr std::u16string_view kWholeWord = u"Whole word";
inline constexpr std::u16string_view kDirectionGroup = u"Direction";
inline constexpr std::u16string_view kUp = u"Up";
inline constexpr std::u16string_view kDown = u"Down";
inline constexpr std::u16string_view kScopeGroup = u"Scope";
inline constexpr std::array<std::u16string_view, kFindScopeCount> kScopes = {
    u"URLs", u"Headers", u"Query String", u"Cookies", u"Post Data", u"Result/Status Code",
    u"Content"};
inline constexpr std::u16string_view kSelectAll = u"Select All";
inline constexpr std::u16string_view kSelectNone = u"Select None";
inline constexpr std::u16string_view kFindNext = u"Find Next";
inline constexpr std::u16string_view kCancel = u"Cancel";
}  // namespace find_dialog_text

inline constexpr UserMessage kMsgFindNotFound{u"The text was not found in the session grid.",
                                              find_dialog_text::kTitle};
inline constexpr UserMessage kMsgFindWrappedToTop{
    u"Find reached the end of the session grid and continued from the top.",
    find_dialog_text::kTitle};
inline constexpr UserMessage kMsgFindWrappedToEnd{
    u"Find reached the top of the session grid and continued from the end.",
    find_dialog_text::kTitle};

// The texts searched for while the window lives, newest first, each once.
class CFindHistory {
 public:
  static constexpr std::size_t kCapacity = 20;
  void Remember(const std::u16string& text);
  // As the drop-down list shows them: sorted.
  std::vector<std::u16string> SortedTexts() const;

 private:
  std::vector<std::u16string> m_texts;
};

class CFindDialogModel {
 public:
  // Opens empty with every box unchecked.
  CFindDialogModel(CMainWindowModel& window, CFindHistory& history, const IContentReader* content)
      : m_window(window), m_history(history), m_content(content) {}

  // The text, the two options and the scopes; the direction goes through the boxes.
  FindQuery& Query() { return m_query; }
  const FindQuery& Query() const { return m_query; }

  // "Up" and "Down": checking one clears the other; neither checked searches down.
  void CheckUp(bool checked);
  void CheckDown(bool checked);
  bool IsUpChecked() const { return m_query.up; }
  bool IsDownChecked() const { return m_downChecked; }
  void SelectAllScopes() { m_query.scopes.fill(true); }
  void SelectNoScopes() { m_query.scopes.fill(false); }

  // Find Next is offered once there is a text and a scope.
  bool CanFindNext() const;
  // Searches from the selected row; a hit becomes the only selected row and is shown.
  // Says so when the search went round the end or found nothing.
  std::optional<UserMessage> FindNext();

  std::vector<std::u16string> RecentTexts() const { return m_history.SortedTexts(); }

 private:
  CMainWindowModel& m_window;
  CFindHistory& m_history;
  const IContentReader* m_content;
  FindQuery m_query;
  bool m_downChecked = false;
};

}  // namespace tracewell
