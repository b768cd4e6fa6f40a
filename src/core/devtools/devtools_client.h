#pragma once
// The program's end of the debugging pipe: numbers the commands it sends, hands each
// reply to the callback its command gave, and every event to the listener. It lives on
// one thread; the transport delivers the pipe's messages to that thread.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "devtools/devtools_message.h"

namespace tracewell::devtools {

class IDevToolsTransport {
 public:
  virtual ~IDevToolsTransport() = default;
  // Sends one message (the transport adds the NUL that ends it).
  virtual void Send(std::string message) = 0;
};

// A command's answer: its result, or the browser's error message.
struct DevToolsReply {
  const Json& result;
  const std::string* error;  // null on success
};

class CDevToolsClient {
 public:
  using ReplyHandler = std::function<void(const DevToolsReply&)>;
  using EventHandler = std::function<void(const DevToolsMessage&)>;
  // Called for a message that is not well-formed or answers no command sent.
  using FaultHandler = std::function<void(std::string_view reason)>;

  explicit CDevToolsClient(IDevToolsTransport& transport) : m_transport(transport) {}

  void SetEventHandler(EventHandler handler) { m_onEvent = std::move(handler); }
  void SetFaultHandler(FaultHandler handler) { m_onFault = std::move(handler); }

  // Sends a command to the browser (empty session) or to an attached target.
  std::int64_t Send(std::string_view method, const Json& params,
                    std::string_view sessionId = {}, ReplyHandler onReply = {});
  // One message as read from the pipe.
  void OnMessage(std::string_view text);
  // The pipe closed: every command still waiting is answered with an error.
  void OnClosed();

  std::size_t PendingCommands() const { return m_pending.size(); }

 private:
  IDevToolsTransport& m_transport;
  EventHandler m_onEvent;
  FaultHandler m_onFault;
  std::int64_t m_nextId = 1;
  std::unordered_map<std::int64_t, ReplyHandler> m_pending;
};

}  // namespace tracewell::devtools
