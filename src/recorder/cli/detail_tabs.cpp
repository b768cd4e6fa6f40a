#include "cli/detail_tabs.h"

#include "views/cache_info_view.h"
#include "views/cookie_view.h"
#include "views/header_view.h"
#include "views/parameter_views.h"

namespace tracewell::cli {

std::u16string DetailTabText(std::string_view tab, const CHttpTransaction& record,
                             const IClock& clock) {
  if (tab == "header") {
    CHeaderViewModel view;
    view.FillHeaderView(&record);
    return AllRowsCopyText(view.RequestRows()) + AllRowsCopyText(view.ResponseRows());
  }
  if (tab == "cookies") {
    CCookieViewModel view;
    view.FillRequestCookies(record);
    view.FillResponseCookies(record);
    return AllRowsCopyText(view.RequestRows()) + AllRowsCopyText(view.ResponseRows());
  }
  if (tab == "cache") {
    CCacheInfoViewModel view(clock);
    view.ShowCacheInfo(record);
    return AllRowsCopyText(view.Rows());
  }
  if (tab == "query") {
    CQueryViewModel view;
    view.FillQueryView(record);
    return AllRowsCopyText(view.Rows());
  }
  CPostDataViewModel view;
  view.FillPostDataView(record);
  return AllRowsCopyText(view.Rows());
}

}  // namespace tracewell::cli
