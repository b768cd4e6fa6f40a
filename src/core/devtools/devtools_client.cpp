#include "devtools/devtools_client.h"

namespace tracewell::devtools {

std::int64_t CDevToolsClient::Send(std::string_view method, const Json& params,
                                   std::string_view sessionId, ReplyHandler onReply) {
  const std::int64_t id = m_nextId++;
  if (onReply) m_pending.emplace(id, std::move(onReply));
  m_transport.Send(WriteDevToolsCommand(id, method, params.is_null() ? Json::object()
                                                                     : params,
                                        sessionId));
  return id;
}

void CDevToolsClient::OnMessage(std::string_view text) {
  auto read = ReadDevToolsMessage(text);
  if (auto* reason = std::get_if<std::string>(&read)) {
    if (m_onFault) m_onFault(*reason);
    return;
  }
  const DevToolsMessage& message = std::get<DevToolsMessage>(read);
  if (message.IsEvent()) {
    if (m_onEvent) m_onEvent(message);
    return;
  }
  const auto it = m_pending.find(*message.id);
  if (it == m_pending.end()) {
    // Commands sent without a handler need no answer; an id never sent is a fault.
    if (*message.id <= 0 || *message.id >= m_nextId) {
      if (m_onFault) m_onFault("a reply to a command never sent");
    }
    return;
  }
  ReplyHandler handler = std::move(it->second);
  m_pending.erase(it);
  handler(DevToolsReply{message.result, message.error ? &*message.error : nullptr});
}

void CDevToolsClient::OnClosed() {
  static const Json kNoResult = Json::object();
  static const std::string kClosed = "the browser closed its debugging pipe";
  auto pending = std::move(m_pending);
  m_pending.clear();
  for (auto& [id, handler] : pending) handler(DevToolsReply{kNoResult, &kClosed});
}

}  // namespace tracewell::devtools
