#pragma once
// "About Tracewell 1.0": the product picture, the version line and links to the home
// page and to a mail message for support; a click on a link opens it.

#include <QDialog>

namespace tracewell::app {

class CAboutBox final : public QDialog {
 public:
  explicit CAboutBox(QWidget* parent);
};

}  // namespace tracewell::app
