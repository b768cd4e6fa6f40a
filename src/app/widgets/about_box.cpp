#include "widgets/about_box.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "widgets/product_addresses.h"
#include "widgets/toolbar_icons.h"

namespace tracewell::app {
namespace {

// A link that opens its target with the desktop's handler (browser, mail program).
QLabel* NewLink(const QUrl& target, const QString& shown) {
  auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                              .arg(target.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                                   shown.toHtmlEscaped()));
  link->setTextFormat(Qt::RichText);
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  link->setOpenExternalLinks(false);
  QObject::connect(link, &QLabel::linkActivated, link,
                   [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
  return link;
}

}  // namespace

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Tracewell 1.0"));
  setModal(true);
  const ProductAddresses addresses = ReadProductAddresses();

  auto* picture = new QLabel;
  picture->setPixmap(ProductPicture());
  picture->setAlignment(Qt::AlignTop);

  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  QLabel* homePage = NewLink(QUrl(addresses.homePage), addresses.homePage);
  QLabel* email =
      NewLink(QUrl(QStringLiteral("mailto:") + addresses.supportEmail), addresses.supportEmail);
  // A clicked link would keep the focus, and Enter would open it again instead of OK.
  for (QLabel* link : {homePage, email}) {
    connect(link, &QLabel::linkActivated, ok, [ok] { ok->setFocus(); });
  }

  auto* lines = new QGridLayout;
  lines->addWidget(new QLabel(QStringLiteral("Tracewell V1.0 ")), 0, 0, 1, 2);
  lines->addWidget(new QLabel(QStringLiteral("HomePage:")), 1, 0);
  lines->addWidget(homePage, 1, 1);
  lines->addWidget(new QLabel(QStringLiteral("Email:")), 2, 0);
  lines->addWidget(email, 2, 1);
  lines->setColumnStretch(1, 1);

  auto* top = new QHBoxLayout;
  top->addWidget(picture);
  top->addSpacing(12);
  top->addLayout(lines, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tracewell::app
