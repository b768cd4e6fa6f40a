#include "cli/detail_tab_text.h"

#include "bodies/body_view.h"
#include "views/list_copy.h"
#include "views/main_window_model.h"

namespace tracewell::cli {
namespace {

std::u16string AllRowsText(const TextRows& rows) { return CopyAllRowsText(TextRowsList(rows)); }

}  // namespace

std::u16string DetailTabText(std::string_view tab, const CHttpTransaction& record,
                             const IClock& clock, ICacheFiles& files) {
  CDetailViews views(clock);
  views.ShowTransaction(record);
  if (tab == "header") {
    return AllRowsText(views.header.RequestRows()) + AllRowsText(views.header.ResponseRows());
  }
  if (tab == "cookies") {
    return AllRowsText(views.cookies.RequestRows()) + AllRowsText(views.cookies.ResponseRows());
  }
  if (tab == "cache") return AllRowsText(views.cacheInfo.Rows());
  if (tab == "query") return AllRowsText(views.query.Rows());
  if (tab == "body") {
    return BodyViewText(RequestBodyView(*views.bodies)) + BodyViewText(ResponseBodyView(*views.bodies, files));
  }
  return AllRowsText(views.postData.Rows());
}

}  // namespace tracewell::cli
