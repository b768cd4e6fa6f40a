#pragma once
// The detail pane as a window lays it out: the seven tab titles, and each tab's lists
// with their control ids, column titles and widths, and how widths follow a resize.

#include <array>
#include <span>
#include <string_view>

namespace tracewell {

inline constexpr std::array<std::u16string_view, 7> kDetailTabTitles = {
    u"Header", u"Cookies", u"Cache Info", u"Query String", u"Post Data", u"Content", u"Body"};

struct DetailColumn {
  std::u16string_view title;
  int width;  // pixels, before the first resize
};

struct DetailList {
  int id;  // control id; 262..271 take part in the copy and selection commands
  std::span<const DetailColumn> columns;
};

namespace detail_columns {
// The header lists' widths follow the pane from the first resize on.
inline constexpr std::array<DetailColumn, 2> kRequestHeaders = {{{u"Request Headers", 100},
                                                                  {u"Values", 300}}};
inline constexpr std::array<DetailColumn, 2> kResponseHeaders = {{{u"Response Headers", 100},
                                                                   {u"Values", 300}}};
inline constexpr std::array<DetailColumn, 2> kRequestCookies = {{{u"Cookie Name", 100},
                                                                  {u"Value", 300}}};
inline constexpr std::array<DetailColumn, 5> kResponseCookies = {{{u"Cookie Name", 100},
                                                                   {u"Value", 350},
                                                                   {u"Path", 60},
                                                                   {u"Domain", 80},
                                                                   {u"Expires", 180}}};
inline constexpr std::array<DetailColumn, 3> kCacheInfo = {{{u"Description", 250},
                                                            {u"Before Request", 400},
                                                            {u"After Request", 500}}};
inline constexpr std::array<DetailColumn, 2> kQuery = {{{u"Parameter", 200}, {u"Value", 500}}};
inline constexpr std::array<DetailColumn, 2> kPostData = {{{u"Parameter", 50}, {u"value", 150}}};
}  // namespace detail_columns

inline constexpr DetailList kRequestHeaderList{268, detail_columns::kRequestHeaders};
inline constexpr DetailList kResponseHeaderList{269, detail_columns::kResponseHeaders};
inline constexpr DetailList kRequestCookieList{262, detail_columns::kRequestCookies};
// Outside 262..271: this list has neither the menu nor the keys.
inline constexpr DetailList kResponseCookieList{278, detail_columns::kResponseCookies};
inline constexpr DetailList kCacheInfoList{270, detail_columns::kCacheInfo};
inline constexpr DetailList kQueryList{271, detail_columns::kQuery};
inline constexpr DetailList kPostDataList{263, detail_columns::kPostData};

// Both header lists take their widths from the request (left) list's width: a
// quarter for the names, three quarters less 4 (request) or 8 (response) pixels for
// the values.
struct HeaderColumnWidths {
  int name;
  int requestValue;
  int responseValue;
  bool operator==(const HeaderColumnWidths&) const = default;
};
constexpr HeaderColumnWidths HeaderColumnWidthsFor(int leftListWidth) {
  const int threeQuarters = leftListWidth * 3 / 4;
  return {leftListWidth / 4, threeQuarters - 4, threeQuarters - 8};
}

// The cookies' divider stands at a third of the pane's width.
constexpr int CookieDividerFor(int paneWidth) { return paneWidth / 3; }

// The post-data list's columns: 20 % of the pane and 80 % less 4 pixels.
struct PostDataColumnWidths {
  int name;
  int value;
  bool operator==(const PostDataColumnWidths&) const = default;
};
constexpr PostDataColumnWidths PostDataColumnWidthsFor(int paneWidth) {
  return {paneWidth / 5, paneWidth * 4 / 5 - 4};
}

}  // namespace tracewell
