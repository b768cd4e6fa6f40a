#include "views/quick_filter.h"

#include <array>

#include "http_text/splitting.h"

namespace tracewell {
namespace {

struct FieldPrefix {
  std::u16string_view prefix;
  QuickFilterField field;
};

constexpr std::array<FieldPrefix, 4> kFieldPrefixes = {{
    {u"method:", QuickFilterField::kMethod},
    {u"status:", QuickFilterField::kResult},
    {u"type:", QuickFilterField::kType},
    {u"host:", QuickFilterField::kHost},
}};

std::u16string_view Trimmed(std::u16string_view text) {
  const auto first = text.find_first_not_of(u" \t");
  if (first == text.npos) return {};
  return text.substr(first, text.find_last_not_of(u" \t") - first + 1);
}

std::u16string_view FieldText(const CHttpTransaction& record, QuickFilterField field) {
  switch (field) {
    case QuickFilterField::kUrl: return record.m_strUrl;
    case QuickFilterField::kMethod: return record.m_strMethod;
    case QuickFilterField::kResult: return record.m_strResult;
    case QuickFilterField::kType: return record.m_strMimeType;
    case QuickFilterField::kHost: return UrlHost(record.m_strUrl);
  }
  return {};
}

}  // namespace

std::u16string_view UrlHost(std::u16string_view url) {
  if (const auto scheme = url.find(u"://"); scheme != url.npos) url.remove_prefix(scheme + 3);
  url = url.substr(0, url.find_first_of(u"/?#"));
  if (const auto at = url.rfind(u'@'); at != url.npos) url.remove_prefix(at + 1);
  if (url.starts_with(u'[')) return url.substr(0, url.find(u']') + 1);
  return url.substr(0, url.find(u':'));
}

CQuickFilter::CQuickFilter(std::u16string_view text) {
  text = Trimmed(text);
  for (const FieldPrefix& entry : kFieldPrefixes) {
    if (text.size() >= entry.prefix.size() &&
        EqualsIgnoringCase(text.substr(0, entry.prefix.size()), entry.prefix)) {
      m_field = entry.field;
      text = Trimmed(text.substr(entry.prefix.size()));
      break;
    }
  }
  if (text.empty()) return;
  FindQuery query;
  query.text = text;
  m_matcher.emplace(query);
}

bool CQuickFilter::Passes(const CHttpTransaction& record) const {
  return !m_matcher || m_matcher->Contains(FieldText(record, m_field));
}

bool PassesFilters(const FilterSettings& filter, const CQuickFilter& quickFilter, const CHttpTransaction& record) {
  return (!filter.m_bFilterOn || PassesFilter(filter, record)) && quickFilter.Passes(record);
}

}  // namespace tracewell
