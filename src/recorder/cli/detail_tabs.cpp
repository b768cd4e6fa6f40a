#include "cli/detail_tabs.h"

#include "views/cache_info_view.h"
#include "views/cookie_view.h"
#include "views/header_view.h"
#include "views/list_copy.h"
#include "views/parameter_views.h"

namespace tracewell::cli {
namespace {

std::u16string AllRowsText(const TextRows& rows) { return CopyAllRowsText(TextRowsList(rows)); }

}  // namespace

std::u16string DetailTabText(std::string_view tab, const CHttpTransaction& record,
                             const IClock& clock) {
  if (tab == "header") {
    CHeaderViewModel view;
    view.FillHeaderView(&record);
    return AllRowsText(view.RequestRows()) + AllRowsText(view.ResponseRows());
  }
  if (tab == "cookies") {
    CCookieViewModel view;
    view.FillRequestCookies(record);
    view.FillResponseCookies(record);
    return AllRowsText(view.RequestRows()) + AllRowsText(view.ResponseRows());
  }
  if (tab == "cache") {
    CCacheInfoViewModel view(clock);
    view.ShowCacheInfo(record);
    return AllRowsText(view.Rows());
  }
  if (tab == "query") {
    CQueryViewModel view;
    view.FillQueryView(record);
    return AllRowsText(view.Rows());
  }
  CPostDataViewModel view;
  view.FillPostDataView(record);
  return AllRowsText(view.Rows());
}

}  // namespace tracewell::cli
