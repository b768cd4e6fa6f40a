#include "window/update_fetcher.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <memory>

#include "widgets/qt_text.h"

namespace tracewell::app {

std::optional<std::uint32_t> CUpdateFetcher::ConnectedState() {
  constexpr auto kConnected = QNetworkInterface::IsUp | QNetworkInterface::IsRunning;
  for (const QNetworkInterface& network : QNetworkInterface::allInterfaces()) {
    const auto flags = network.flags();
    if ((flags & kConnected) == kConnected && !flags.testFlag(QNetworkInterface::IsLoopBack)) {
      return 1;
    }
  }
  return 0;
}

std::optional<std::string> CUpdateFetcher::ReadOnce(std::u16string_view url,
                                                    std::u16string_view agent,
                                                    std::size_t maxBytes) {
  QNetworkProxyFactory::setUseSystemConfiguration(true);
  QNetworkAccessManager network;
  QNetworkRequest request(QUrl(ToQString(url)));
  request.setHeader(QNetworkRequest::UserAgentHeader, ToQString(agent));
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                       QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setTransferTimeout(static_cast<int>(kTimeout.count()));
  const std::unique_ptr<QNetworkReply> reply(network.get(request));

  const auto limit = static_cast<qint64>(maxBytes);
  QEventLoop wait;
  QObject::connect(reply.get(), &QNetworkReply::finished, &wait, &QEventLoop::quit);
  QObject::connect(reply.get(), &QNetworkReply::readyRead, &wait, [&] {
    if (reply->bytesAvailable() >= limit) wait.quit();  // one read takes no more
  });
  if (!reply->isFinished()) wait.exec(QEventLoop::ExcludeUserInputEvents);
  if (reply->error() != QNetworkReply::NoError) return std::nullopt;
  const QByteArray bytes = reply->read(limit);
  reply->abort();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace tracewell::app
