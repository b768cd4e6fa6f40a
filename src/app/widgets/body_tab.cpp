#include "widgets/body_tab.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "widgets/qt_text.h"

namespace tracewell::app {

CBodyPane::CBodyPane(QWidget* parent)
    : QWidget(parent),
      m_summary(new QLabel(this)),
      m_stack(new QStackedWidget(this)),
      m_text(new QPlainTextEdit),
      m_picture(new QLabel) {
  m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_summary->setWordWrap(true);
  m_text->setReadOnly(true);
  m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* pictureArea = new QScrollArea;
  pictureArea->setWidget(m_picture);
  m_stack->addWidget(m_text);
  m_stack->addWidget(pictureArea);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_summary);
  layout->addWidget(m_stack, 1);
}

void CBodyPane::ShowView(const BodyView& view) {
  m_summary->setText(ToQString(view.summary).trimmed());
  QPixmap picture;
  if (view.kind == BodyKind::kImage &&
      picture.loadFromData(reinterpret_cast<const uchar*>(view.image.data()),
                           static_cast<uint>(view.image.size()))) {
    m_picture->setPixmap(picture);
    m_picture->resize(picture.size());
    m_text->clear();
    m_stack->setCurrentIndex(1);
    return;
  }
  // A picture Qt cannot read shows as its hex dump.
  m_picture->clear();
  m_text->setPlainText(ToQString(view.text));
  m_stack->setCurrentIndex(0);
}

QString CBodyPane::Summary() const { return m_summary->text(); }
QString CBodyPane::ShownText() const { return ShowsPicture() ? QString() : m_text->toPlainText(); }
bool CBodyPane::ShowsPicture() const { return m_stack->currentIndex() == 1; }

CBodyTab::CBodyTab(ICacheFiles& files, QWidget* parent)
    : QWidget(parent), m_files(&files), m_request(new CBodyPane), m_response(new CBodyPane) {
  auto* splitter = new QSplitter(Qt::Vertical);
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(m_request);
  splitter->addWidget(m_response);
  splitter->setStretchFactor(1, 3);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);
  m_request->hide();
}

void CBodyTab::SetCacheFiles(ICacheFiles& files) {
  m_files = &files;
  ShowBodies(m_bodies);
}

void CBodyTab::ShowBodies(const std::optional<RecordBodies>& bodies) {
  if (&bodies != &m_bodies) m_bodies = bodies;
  m_stale = true;
  if (isVisible()) Refresh();
}

void CBodyTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (m_stale) Refresh();
}

void CBodyTab::Refresh() {
  m_stale = false;
  if (!m_bodies) {
    m_request->ShowView({});
    m_request->hide();
    m_response->ShowView({});
    return;
  }
  const BodyView request = RequestBodyView(*m_bodies);
  m_request->setVisible(request.kind != BodyKind::kNone);
  m_request->ShowView(request);
  m_response->ShowView(ResponseBodyView(*m_bodies, *m_files));
}

}  // namespace tracewell::app
