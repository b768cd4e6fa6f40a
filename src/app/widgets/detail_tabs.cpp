#include "widgets/detail_tabs.h"

#include <QSplitter>
#include <QVBoxLayout>
#include <functional>

#include "views/detail_lists.h"
#include "widgets/body_tab.h"
#include "widgets/detail_list.h"
#include "widgets/inspector_view.h"
#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

// The header lists and the parameter lists look like the session grid (columns can
// be dragged into another order); the cookie and cache lists keep their order.
constexpr ReportListStyle kGridStyle{.movableColumns = true, .labelTips = true};
constexpr ReportListStyle kParameterStyle{.movableColumns = true, .labelTips = false};
constexpr ReportListStyle kFixedColumnsStyle{.movableColumns = false, .labelTips = true};

// A tab page whose one child fills it, with a rule that runs after every resize.
class CTabPage final : public QWidget {
 public:
  CTabPage(QWidget* content, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
  }
  void SetOnResize(std::function<void(int width)> onResize) { m_onResize = std::move(onResize); }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (m_onResize) m_onResize(width());
  }

 private:
  std::function<void(int)> m_onResize;
};

QSplitter* SideBySide(QWidget* left, QWidget* right) {
  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(left);
  splitter->addWidget(right);
  return splitter;
}

// The divider at `leftWidth` pixels from the left edge.
void PlaceDivider(QSplitter& splitter, int leftWidth) {
  const int rest = splitter.width() - splitter.handleWidth() - leftWidth;
  splitter.setSizes({leftWidth, rest > 0 ? rest : 0});
}

}  // namespace

CDetailTabs::CDetailTabs(IClipboard& clipboard, CInspectorModel& inspector, QWidget* parent)
    : QTabWidget(parent),
      m_requestHeaders(new CDetailList(kRequestHeaderList, kGridStyle, clipboard, nullptr)),
      m_responseHeaders(new CDetailList(kResponseHeaderList, kGridStyle, clipboard, nullptr)),
      m_requestCookies(new CDetailList(kRequestCookieList, kFixedColumnsStyle, clipboard, nullptr)),
      m_responseCookies(new CDetailList(kResponseCookieList, kFixedColumnsStyle, clipboard, nullptr)),
      m_cacheInfo(new CDetailList(kCacheInfoList, kFixedColumnsStyle, clipboard, nullptr)),
      m_query(new CDetailList(kQueryList, kParameterStyle, clipboard, nullptr)),
      m_postData(new CDetailList(kPostDataList, kParameterStyle, clipboard, nullptr)),
      m_inspector(new CInspectorView(inspector, clipboard)),
      m_body(new CBodyTab(m_noStores)) {
  auto* headerSplitter = SideBySide(m_requestHeaders, m_responseHeaders);
  auto* headerPage = new CTabPage(headerSplitter, this);
  headerPage->SetOnResize([this, headerSplitter](int width) {
    PlaceDivider(*headerSplitter, (width - headerSplitter->handleWidth()) / 2);
    const HeaderColumnWidths widths = HeaderColumnWidthsFor(m_requestHeaders->width());
    m_requestHeaders->SetColumnWidths({widths.name, widths.requestValue});
    m_responseHeaders->SetColumnWidths({widths.name, widths.responseValue});
  });

  auto* cookieSplitter = SideBySide(m_requestCookies, m_responseCookies);
  auto* cookiePage = new CTabPage(cookieSplitter, this);
  cookiePage->SetOnResize(
      [cookieSplitter](int width) { PlaceDivider(*cookieSplitter, CookieDividerFor(width)); });

  auto* postDataPage = new CTabPage(m_postData, this);
  postDataPage->SetOnResize([this](int width) {
    const PostDataColumnWidths widths = PostDataColumnWidthsFor(width);
    m_postData->SetColumnWidths({widths.name, widths.value});
  });

  auto* contentPage = new CTabPage(m_inspector, this);
  contentPage->SetOnResize(
      [this](int width) { PlaceDivider(*m_inspector, InspectorDividerFor(width)); });

  QWidget* const pages[] = {headerPage, cookiePage, new CTabPage(m_cacheInfo, this),
                            new CTabPage(m_query, this), postDataPage,
                            contentPage, new CTabPage(m_body, this)};
  for (std::size_t tab = 0; tab < kDetailTabTitles.size(); ++tab) {
    addTab(pages[tab], ToQString(kDetailTabTitles[tab]));
  }
  setCurrentIndex(0);
}

void CDetailTabs::ShowDetails(const CDetailViews& details) {
  m_requestHeaders->ShowRows(details.header.RequestRows());
  m_responseHeaders->ShowRows(details.header.ResponseRows());
  m_requestCookies->ShowRows(details.cookies.RequestRows());
  m_responseCookies->ShowRows(details.cookies.ResponseRows());
  m_cacheInfo->ShowRows(details.cacheInfo.Rows());
  m_query->ShowRows(details.query.Rows());
  m_postData->ShowRows(details.postData.Rows());
  m_body->ShowBodies(details.bodies);
}

void CDetailTabs::SetCacheFiles(ICacheFiles& files) { m_body->SetCacheFiles(files); }

}  // namespace tracewell::app
