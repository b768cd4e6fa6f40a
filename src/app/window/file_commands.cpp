#include "window/file_commands.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "session_io/session_file.h"
#include "text/utf8.h"
#include "views/main_commands.h"
#include "widgets/qt_text.h"
#include "widgets/work_progress_dialog.h"
#include "window/live_capture.h"

namespace tracewell::app {
namespace {

constexpr std::u16string_view kErrorCaption = u"Error";
constexpr std::u16string_view kWriteErrorText = u"File Write Error";

std::optional<std::filesystem::path> RunFileDialog(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return std::filesystem::path(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
}

}  // namespace

bool CFileCommands::OnCommand(int commandId) {
  if (commandId == command::kLoad) {
    if (MaySetSessionAside()) Load();
    return true;
  }
  const SessionFormatInfo* format = FormatWrittenBy(commandId);
  if (format == nullptr) return false;
  Write(format->format);
  return true;
}

std::optional<std::filesystem::path> CFileCommands::ChooseFileToWrite(const SessionFormatInfo& info) {
  QFileDialog dialog(m_parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(ToQString(info.filterText));
  dialog.setDefaultSuffix(QString::fromLatin1(info.name.data(), static_cast<qsizetype>(info.name.size())));
  return RunFileDialog(dialog);
}

std::optional<std::filesystem::path> CFileCommands::ChooseFileToLoad() {
  QFileDialog dialog(m_parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const SessionFormatInfo& log = InfoOf(SessionFormat::kLog);
  dialog.setNameFilters({ToQString(log.filterText), ToQString(InfoOf(SessionFormat::kHar).filterText)});
  dialog.setDefaultSuffix(QString::fromLatin1(log.name.data(), static_cast<qsizetype>(log.name.size())));
  return RunFileDialog(dialog);
}

template <typename Work>
auto CFileCommands::WithProgress(const QString& verb, const std::filesystem::path& path, Work&& work) {
  std::optional<CLiveCapture::CDeliveryHold> hold;
  if (m_setup.capture != nullptr) hold.emplace(*m_setup.capture);
  const QString name = QFile::decodeName(QByteArray::fromStdString(path.filename().string()));
  CWorkProgressDialog progress(m_parent, verb + QStringLiteral(" ") + name + QStringLiteral("..."),
                               m_setup.progressDelay);
  return work(progress);
}

bool CFileCommands::Write(SessionFormat format) {
  const auto path = ChooseFileToWrite(InfoOf(format));
  if (!path) return false;
  HarExportOptions har;
  har.storedBodies = m_setup.storedBodies;
  const QString verb = format == SessionFormat::kLog ? QStringLiteral("Saving") : QStringLiteral("Exporting");
  const auto error = WithProgress(verb, *path, [&](IWorkProgress& progress) {
    return WriteSessionFile(format, *path, m_model.Session(), m_clock, har, {}, &progress);
  });
  if (error && error->stopped) return false;
  if (error) {
    const std::u16string text = std::u16string(kWriteErrorText) + u"\n" + FromUtf8(error->message);
    m_messages.ShowMessage({text, kErrorCaption});
    return false;
  }
  // Only a log file holds the session whole; the exports leave out part of it.
  if (format == SessionFormat::kLog) m_model.MarkSaved();
  return true;
}

bool CFileCommands::MaySetSessionAside() {
  if (!m_model.HasUnsavedRecords()) return true;
  QMessageBox box(QMessageBox::Question, QStringLiteral("Tracewell"),
                  QStringLiteral("Save changes to the session?"),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_parent);
  box.setDefaultButton(QMessageBox::Save);
  switch (box.exec()) {
    case QMessageBox::Save: return Write(SessionFormat::kLog);
    case QMessageBox::Discard: return true;
    default: return false;
  }
}

void CFileCommands::Load() {
  if (const auto path = ChooseFileToLoad()) LoadFile(*path);
}

void CFileCommands::LoadFile(const std::filesystem::path& path) {
  SessionFileLoad load = WithProgress(QStringLiteral("Loading"), path, [&](IWorkProgress& progress) {
    return LoadSessionFile(path, m_clock, &progress);
  });
  if (load.stopped) return;
  if (load.error) {
    const std::u16string text = FromUtf8(load.error->message);
    m_messages.ShowMessage({text, kErrorCaption});
  }
  if (load.message) m_messages.ShowMessage(*load.message);
  if (load.replacesSession) m_model.ReplaceSession(std::move(load.records));
}

}  // namespace tracewell::app
