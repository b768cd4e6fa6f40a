#include "capture/exchange_binding.h"

#include "text/code_page.h"

namespace tracewell {
namespace {

BindInfo BindInfoFor(std::string_view method, std::string body) {
  BindInfo info;
  if (method == "GET") {
    info.verb = kBindVerbGet;
  } else if (method == "POST") {
    info.verb = kBindVerbPost;
  } else if (method == "PUT") {
    info.verb = kBindVerbPut;
  } else {
    info.verb = kBindVerbCustom;
    info.customVerb = FromCodePage(method);
  }
  if (!body.empty()) {
    info.medium = kMediumHGlobal;
    info.globalData = std::move(body);
  }
  return info;
}

}  // namespace

CClientRequest::CClientRequest(std::string_view method, std::string body)
    : m_info(BindInfoFor(method, std::move(body))) {}

HResult CClientRequest::GetBindInfo(std::uint32_t& flags, BindInfo& info) {
  flags = 0;
  info = m_info;
  return hr::Ok;
}

CExchangeBinding::CExchangeBinding(std::shared_ptr<CHttpHandlerAPP> app,
                                   std::shared_ptr<CExchangeTarget> target, CClientRequest& client)
    : m_app(std::move(app)), m_target(std::move(target)), m_client(client) {}

CExchangeBinding::~CExchangeBinding() {
  if (!m_ended) Abort();
  End();
}

void CExchangeBinding::Start(std::u16string_view url) {
  if (m_app) {
    m_app->Start(url, &m_client, &m_client, 0);
  } else {
    m_target->Start(url, m_client, m_client, 0);
  }
}

std::uint32_t CExchangeBinding::Read(char* buffer, std::uint32_t size) {
  std::uint32_t read = 0;
  if (m_app) {
    m_app->Read(buffer, size, read);
  } else {
    m_target->Read(buffer, size, read);
  }
  return read;
}

void CExchangeBinding::KeepResponseBody(std::string body) {
  if (m_app) m_app->KeepResponseBody(std::move(body));
}

void CExchangeBinding::Abort() {
  if (m_target->HasResult()) return;
  if (m_app) {
    m_app->Abort(hr::Abort, 0);
  } else {
    m_target->Abort(hr::Abort, 0);
  }
}

void CExchangeBinding::End() {
  if (m_ended) return;
  m_ended = true;
  if (m_app) {
    m_app->Terminate(0);
  } else {
    m_target->Terminate(0);
  }
}

}  // namespace tracewell
