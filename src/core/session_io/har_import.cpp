#include "session_io/har_import.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "http_text/splitting.h"
#include "session_io/har_header_block.h"
#include "session_io/har_result.h"
#include "session_io/har_time.h"
#include "session_io/json_reader.h"
#include "text/assert.h"
#include "text/base64.h"
#include "text/code_page.h"
#include "text/format.h"
#include "text/utf8.h"

namespace tracewell {
namespace {

struct HarFormatError {
  std::string message;
};

[[noreturn]] void Refuse(std::string message) { throw HarFormatError{std::move(message)}; }

template <typename Int>
Int Clamped(double value) {
  constexpr auto kLow = static_cast<double>(std::numeric_limits<Int>::min());
  constexpr auto kHigh = static_cast<double>(std::numeric_limits<Int>::max());
  return value <= kLow ? std::numeric_limits<Int>::min()
         : value >= kHigh ? std::numeric_limits<Int>::max()
                          : static_cast<Int>(value);
}

// One entry's JSON as the parser delivered it, in two flat arrays kept from entry to
// entry: its values in the order they began, and the bytes of their names and strings.
// Once the arrays have grown to fit, an entry is read without allocating.
class EntryTree {
 public:
  enum class Kind : std::uint8_t { kNull, kBoolean, kInteger, kUnsigned, kFloat, kString, kObject, kArray };
  static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

  struct Value {
    Kind kind = Kind::kNull;
    std::size_t nameAt = 0, nameLength = 0;  // its member name, in an object
    std::size_t textAt = 0, textLength = 0;  // a string's bytes; a float's token
    union {
      std::int64_t integer;
      std::uint64_t unsignedInteger;
      double floating;
      bool boolean;
    };
    std::uint32_t firstChild = kNone, lastChild = kNone, nextSibling = kNone;
  };

  void Clear() {
    m_values.clear();
    m_bytes.clear();
    m_open.clear();
  }
  bool Empty() const { return m_values.empty(); }

  // A value begins inside the innermost open container (as member `name` of an object);
  // it is returned to be filled in.
  Value& Begin(Kind kind, std::string_view name) {
    TRACEWELL_ASSERT(m_values.size() < kNone);
    const auto index = static_cast<std::uint32_t>(m_values.size());
    Value& value = m_values.emplace_back();
    value.kind = kind;
    value.unsignedInteger = 0;
    if (!m_open.empty()) {
      Value& parent = m_values[m_open.back()];
      value.nameAt = Keep(parent.kind == Kind::kObject ? name : std::string_view(), value.nameLength);
      (parent.lastChild == kNone ? parent.firstChild : m_values[parent.lastChild].nextSibling) = index;
      parent.lastChild = index;
    }
    if (kind == Kind::kObject || kind == Kind::kArray) m_open.push_back(index);
    return value;
  }
  void SetText(Value& value, std::string_view text) { value.textAt = Keep(text, value.textLength); }
  // Closes the innermost container; whether the entry is now complete.
  bool Close() {
    m_open.pop_back();
    return m_open.empty();
  }

  const Value& At(std::uint32_t index) const { return m_values[index]; }
  std::string_view Name(const Value& value) const { return {m_bytes.data() + value.nameAt, value.nameLength}; }
  std::string_view Text(const Value& value) const { return {m_bytes.data() + value.textAt, value.textLength}; }

 private:
  std::size_t Keep(std::string_view bytes, std::size_t& length) {
    const std::size_t at = m_bytes.size();
    m_bytes.append(bytes);
    length = bytes.size();
    return at;
  }

  std::vector<Value> m_values;
  std::string m_bytes;
  std::vector<std::uint32_t> m_open;  // the containers still open, innermost last
};

// A value of an entry and the way to it from the entry, so that every complaint says
// where. The path is spelled out only for a complaint; a node lives no longer than
// the node it was found in.
class Node {
 public:
  using Kind = EntryTree::Kind;

  // The entry itself, the tree's first value.
  Node(const EntryTree& tree, const std::string& rootPath) : m_tree(tree), m_value(tree.At(0)), m_rootPath(&rootPath) {}

  // The member `name`; none when it is missing or null. A repeated name means its last value.
  std::optional<Node> Find(std::string_view name) const {
    if (m_value.kind != Kind::kObject) Fail("expected an object");
    const EntryTree::Value* found = nullptr;
    for (auto child = m_value.firstChild; child != EntryTree::kNone; child = m_tree.At(child).nextSibling) {
      if (m_tree.Name(m_tree.At(child)) == name) found = &m_tree.At(child);
    }
    if (found == nullptr || found->kind == Kind::kNull) return std::nullopt;
    return Node(*found, *this, name);
  }

  Node Get(std::string_view name) const {
    auto member = Find(name);
    if (!member) Refuse(Path() + "." + std::string(name) + " is missing");
    return *std::move(member);
  }

  bool IsString() const { return m_value.kind == Kind::kString; }

  std::string_view Utf8() const {
    if (!IsString()) Fail("expected a string");
    return m_tree.Text(m_value);
  }
  std::u16string Text() const { return FromUtf8(Utf8()); }

  double Number() const {
    switch (m_value.kind) {
      case Kind::kInteger: return static_cast<double>(m_value.integer);
      case Kind::kUnsigned: return static_cast<double>(m_value.unsignedInteger);
      case Kind::kFloat:
        if (!std::isfinite(m_value.floating)) Fail("expected a finite number");
        return m_value.floating;
      default: Fail("expected a number");
    }
  }

  // An integer from 0 to the largest `Int`, exactly.
  template <typename Int>
  Int Unsigned() const {
    if (m_value.kind != Kind::kUnsigned) Fail("expected an unsigned integer");
    const std::uint64_t number = m_value.unsignedInteger;
    if (number > std::numeric_limits<Int>::max()) Fail(std::to_string(number) + " is too large");
    return static_cast<Int>(number);
  }

  template <typename Visit>
  void ForEachElement(Visit&& visit) const {
    if (m_value.kind != Kind::kArray) Fail("expected an array");
    std::size_t i = 0;
    for (auto child = m_value.firstChild; child != EntryTree::kNone; child = m_tree.At(child).nextSibling) {
      visit(Node(m_tree.At(child), *this, i++));
    }
  }

  // A number as the file spells it.
  std::string NumberText() const {
    switch (m_value.kind) {
      case Kind::kInteger: return std::to_string(m_value.integer);
      case Kind::kUnsigned: return std::to_string(m_value.unsignedInteger);
      case Kind::kFloat: return std::string(m_tree.Text(m_value));
      default: Fail("expected a number");
    }
  }

  [[noreturn]] void Fail(std::string_view problem) const { Refuse(Path() + ": " + std::string(problem)); }

 private:
  // A member `name` (a literal of the caller's) of `parent`.
  Node(const EntryTree::Value& value, const Node& parent, std::string_view name)
      : m_tree(parent.m_tree), m_value(value), m_parent(&parent), m_name(name) {}
  // Element `index` of `parent`.
  Node(const EntryTree::Value& value, const Node& parent, std::size_t index)
      : m_tree(parent.m_tree), m_value(value), m_parent(&parent), m_index(index), m_isElement(true) {}

  std::string Path() const {
    if (m_parent == nullptr) return *m_rootPath;
    // Appended piece by piece: mingw's g++ 12 sees a false overlap in `"[" + string`.
    std::string path = m_parent->Path();
    if (m_isElement) {
      path += '[';
      path += std::to_string(m_index);
      path += ']';
    } else {
      path += '.';
      path += m_name;
    }
    return path;
  }

  const EntryTree& m_tree;
  const EntryTree::Value& m_value;
  const std::string* m_rootPath = nullptr;
  const Node* m_parent = nullptr;
  std::string_view m_name;
  std::size_t m_index = 0;
  bool m_isElement = false;
};

std::u16string OptionalText(const Node& node, std::string_view name) {
  const auto member = node.Find(name);
  return member ? member->Text() : std::u16string();
}

// Another tool's own "_" field: used when it is a string, ignored otherwise.
std::u16string CustomText(const Node& node, std::string_view name) {
  const auto member = node.Find(name);
  return member && member->IsString() ? member->Text() : std::u16string();
}

std::vector<HeaderField> HeaderFields(const Node& message) {
  std::vector<HeaderField> fields;
  const auto headers = message.Find("headers");
  if (!headers) return fields;
  headers->ForEachElement([&](const Node& header) {
    // A field name holds no white space: before it, the line would read as the
    // continuation of the one above.
    HeaderField field{std::u16string(Trim(header.Get("name").Text())), header.Get("value").Text()};
    // HTTP/2 pseudo-headers repeat the method, URL and status that the first line holds.
    if (!field.name.starts_with(u':')) fields.push_back(std::move(field));
  });
  return fields;
}

// The body as the record keeps it: the text up to its first NUL; a form given only
// as parameters is joined again.
std::u16string PostDataText(const Node& postData) {
  std::u16string text;
  if (const auto body = postData.Find("text")) {
    text = body->Text();
  } else if (const auto params = postData.Find("params")) {
    params->ForEachElement([&](const Node& param) {
      if (!text.empty()) text += u'&';
      text += param.Get("name").Text() + u"=" + OptionalText(param, "value");
    });
  }
  return text.substr(0, text.find(u'\0'));
}

void ReadRequest(const Node& request, CHttpTransaction& record) {
  const std::u16string method = request.Get("method").Text();
  const std::u16string url = request.Get("url").Text();
  record.m_strUrl = UrlOfHar(method, url);
  // A record names only these methods; the request line keeps any other. A tunnel's
  // CONNECT is kept too, as a failed one has no request line to keep it.
  if (method == u"GET" || method == u"POST" || method == u"PUT" || method == u"CONNECT") {
    record.m_strMethod = method;
  }
  // White space around the version would leave the request line's last word empty.
  std::u16string version(Trim(OptionalText(request, "httpVersion")));
  const auto headers = HeaderFields(request);
  if (!headers.empty() || !version.empty()) {
    if (version.empty()) version = u"HTTP/1.1";
    const auto line = method + u" " + std::u16string(RequestTarget(method, record.m_strUrl)) + u" " + version;
    record.m_strRequestHeaders = BuildHeaderBlock(line, headers);
  }
  if (const auto postData = request.Find("postData")) record.m_strPostData = PostDataText(*postData);

  // Sent as the record counts it: the headers' bytes, from the file or else from the
  // rebuilt block and its closing empty line, plus the body of a POST.
  const auto headersSize = request.Find("headersSize");
  double sent = headersSize ? headersSize->Number() : -1;
  if (sent < 0 && !record.m_strRequestHeaders.empty()) {
    sent = static_cast<double>(ToCodePage(record.m_strRequestHeaders).size() + 2);
  }
  sent = std::max(sent, 0.0);
  if (record.m_strMethod == u"POST") sent += static_cast<double>(record.m_strPostData.size());
  record.m_nSent = Clamped<std::int32_t>(sent);
}

int StatusCode(const Node& status) {
  const double code = status.Number();
  if (code != 0 && (code < 100 || code > 999 || code != std::floor(code))) {
    status.Fail(status.NumberText() + " is not an HTTP status code");
  }
  return static_cast<int>(code);
}

// The body HAR's content carries: its text's UTF-8 bytes, or the bytes the text
// encodes in base64.
std::unique_ptr<std::string> ContentBody(const Node& content) {
  const auto text = content.Find("text");
  if (!text) return nullptr;
  const auto encoding = content.Find("encoding");
  if (!encoding) return std::make_unique<std::string>(text->Utf8());
  if (encoding->Utf8() != "base64") {
    encoding->Fail("\"" + std::string(encoding->Utf8()) + "\" is not an encoding of HAR");
  }
  auto bytes = DecodeBase64(text->Utf8());
  if (!bytes) text->Fail("not base64");
  return std::make_unique<std::string>(*std::move(bytes));
}

void ReadResponse(const Node& response, const Node& entry, CHttpTransaction& record) {
  const int status = StatusCode(response.Get("status"));
  const std::u16string text = OptionalText(response, "statusText");
  std::u16string version(Trim(OptionalText(response, "httpVersion")));
  const auto headers = HeaderFields(response);
  if (!headers.empty() || !version.empty()) {
    if (version.empty()) version = u"HTTP/1.1";
    const auto line = version + u" " + FormatText("%d", status) + (text.empty() ? u"" : u" " + text);
    record.m_strResponseHeaders = BuildHeaderBlock(line, headers);
  }
  std::u16string error = CustomText(response, "_error");
  if (error.empty()) error = CustomText(entry, "_error");
  record.m_strResult = ResultOfHarStatus(status, error, !CustomText(entry, "_fromCache").empty());

  double size = -1;
  if (const auto content = response.Find("content")) {
    record.m_strMimeType = OptionalText(*content, "mimeType");
    if (const auto contentSize = content->Find("size")) size = contentSize->Number();
    // A compressed body was received as that many bytes fewer.
    if (const auto compression = content->Find("compression"); compression && size >= 0) {
      size -= compression->Number();
    }
    record.m_pResponseBody = ContentBody(*content);
  }
  if (const auto bodySize = response.Find("bodySize"); size < 0 && bodySize) size = bodySize->Number();
  record.m_nSize = Clamped<std::int32_t>(std::max(size, 0.0));
  record.m_strRedirectUrl = OptionalText(response, "redirectURL");
}

void ReadTimes(const Node& entry, const IClock& clock, CHttpTransaction& record) {
  const Node started = entry.Get("startedDateTime");
  const auto local = ParseIsoTimeAsLocal(started.Utf8(), clock);
  if (!local) started.Fail("\"" + std::string(started.Utf8()) + "\" is not an ISO 8601 date and time");
  record.m_stStarted = *local;
  const auto time = entry.Find("time");
  constexpr double kLongestMilliseconds = 1e12;  // some thirty years
  const double milliseconds = time ? time->Number() : -1;
  if (milliseconds < 0 || milliseconds > kLongestMilliseconds) return;
  const auto start = SystemTimeToFileTime(*local);
  const auto ticks = static_cast<std::uint64_t>(std::llround(milliseconds)) * 10'000;
  if (const auto ended = FileTimeToSystemTime(FileTime{start->ticks + ticks})) record.m_stEnded = *ended;
}

FileTime UtcTime(const Node& node, const IClock& clock) {
  const auto utc = ParseIsoTimeAsUtc(node.Utf8(), clock);
  if (!utc) node.Fail("\"" + std::string(node.Utf8()) + "\" is not an ISO 8601 date and time");
  return *utc;
}

// The "_" fields that this program writes for the rest of a snapshot; each one
// present replaces what HAR's own fields gave.
void ReadSnapshotFields(const Node& state, CacheEntrySnapshot& snapshot) {
  const auto text = [&](std::string_view name, std::u16string& field) {
    if (const auto member = state.Find(name)) field = member->Text();
  };
  const auto number = [&](std::string_view name, std::uint32_t& field) {
    if (const auto member = state.Find(name)) field = member->Unsigned<std::uint32_t>();
  };
  const auto time = [&](std::string_view name, FileTime& field) {
    if (const auto member = state.Find(name)) field.ticks = member->Unsigned<std::uint64_t>();
  };
  text("_sourceUrlName", snapshot.SourceUrlName);
  text("_localFileName", snapshot.LocalFileName);
  number("_cacheEntryType", snapshot.CacheEntryType);
  number("_useCount", snapshot.UseCount);
  number("_sizeLow", snapshot.SizeLow);
  time("_lastModifiedTime", snapshot.LastModifiedTime);
  time("_expireTime", snapshot.ExpireTime);
  time("_lastAccessTime", snapshot.LastAccessTime);
  time("_lastSyncTime", snapshot.LastSyncTime);
  text("_headerInfo", snapshot.HeaderInfo);
  text("_fileExtension", snapshot.FileExtension);
  number("_exemptDelta", snapshot.ExemptDelta);
}

SharedCacheEntry Snapshot(const Node& state, const std::u16string& url, const IClock& clock) {
  auto snapshot = std::make_shared<CacheEntrySnapshot>();
  snapshot->SourceUrlName = url;
  if (const auto lastAccess = state.Find("lastAccess")) snapshot->LastAccessTime = UtcTime(*lastAccess, clock);
  if (const auto expires = state.Find("expires")) snapshot->ExpireTime = UtcTime(*expires, clock);
  if (const auto tag = OptionalText(state, "eTag"); !tag.empty()) {
    const HeaderField field[] = {{u"ETag", tag}};
    snapshot->HeaderInfo = BuildHeaderBlock({}, field);
  }
  if (const auto hits = state.Find("hitCount")) snapshot->HitRate = Clamped<std::uint32_t>(hits->Number());
  ReadSnapshotFields(state, *snapshot);
  return snapshot;
}

std::unique_ptr<CHttpTransaction> RecordOfEntry(const Node& entry, const IClock& clock) {
  auto record = std::make_unique<CHttpTransaction>();
  ReadRequest(entry.Get("request"), *record);
  ReadResponse(entry.Get("response"), entry, *record);
  ReadTimes(entry, clock, *record);
  record->m_strIpAddress = OptionalText(entry, "serverIPAddress");
  if (const auto cache = entry.Find("cache")) {
    if (const auto before = cache->Find("beforeRequest")) {
      record->m_pCacheInfoBefore = Snapshot(*before, record->m_strUrl, clock);
    }
    if (const auto after = cache->Find("afterRequest")) {
      record->m_pCacheInfoAfter = Snapshot(*after, record->m_strUrl, clock);
    }
  }
  return record;
}

// Follows the reader's values down to log.entries and keeps each entry, and nothing
// else, as a tree of its values; an entry becomes a record as soon as it is complete.
// An entry costs time in proportion to its size, and may hold only so many values.
class EntryScanner final : public IJsonHandler {
 public:
  // Far beyond any real request (a header takes three), small enough that one
  // entry's tree stays within a few hundred megabytes.
  static constexpr std::size_t kMaxEntryValues = 1'000'000;

  EntryScanner(const IClock& clock, TransactionArray& records) : m_clock(clock), m_records(records) {}

  void OnNull() override { Begin(Kind::kNull); }
  void OnBoolean(bool value) override {
    if (auto* kept = Begin(Kind::kBoolean)) kept->boolean = value;
  }
  void OnInteger(std::int64_t value) override {
    if (auto* kept = Begin(Kind::kInteger)) kept->integer = value;
  }
  void OnUnsigned(std::uint64_t value) override {
    if (auto* kept = Begin(Kind::kUnsigned)) kept->unsignedInteger = value;
  }
  void OnFloat(double value, std::string_view text) override {
    if (auto* kept = Begin(Kind::kFloat)) {
      kept->floating = value;
      m_tree.SetText(*kept, text);
    }
  }
  void OnString(std::string_view value) override {
    if (auto* kept = Begin(Kind::kString)) m_tree.SetText(*kept, value);
  }

  void OnStartObject() override { Open(Kind::kObject); }
  void OnStartArray() override { Open(Kind::kArray); }

  void OnKey(std::string_view key) override {
    if (m_depth == 1) m_key1 = key;
    if (m_depth == 2) m_key2 = key;
    if (InEntry()) m_key = key;
  }

  void OnEndObject() override {
    if (Close()) {
      const std::string path = EntryPath();
      m_records.push_back(RecordOfEntry(Node(m_tree, path), m_clock));
      m_inEntry = false;
    }
  }

  void OnEndArray() override {
    Close();
    if (m_depth == 2) m_inEntries = false;
  }

  void CheckComplete() const {
    if (!m_sawLog) Refuse("not a HAR file: there is no log object");
    if (!m_sawEntries) Refuse("log.entries is missing");
  }

 private:
  using Kind = EntryTree::Kind;

  bool InRoot() const { return m_objects[0]; }
  bool InLog() const { return InRoot() && m_key1 == "log" && m_objects[1]; }
  bool InEntry() const { return m_inEntry; }
  std::string EntryPath() const { return "log.entries[" + std::to_string(m_records.size()) + "]"; }

  void Open(Kind kind) {
    Begin(kind);
    ++m_depth;
  }

  // A container closes; whether it was a whole entry.
  bool Close() {
    --m_depth;
    return InEntry() && m_tree.Close();
  }

  // A value begins at the current depth: where the HAR structure lies it is checked;
  // within an entry it is kept, in its container, and returned to be filled in.
  EntryTree::Value* Begin(Kind kind) {
    Started(m_depth, kind);
    if (m_depth == 3 && m_inEntries) {  // an entry: Started refused anything but an object
      m_inEntry = true;
      m_entryValues = 0;
      m_tree.Clear();
    }
    if (!InEntry()) return nullptr;
    if (++m_entryValues > kMaxEntryValues) {
      Refuse(EntryPath() + ": more than " + std::to_string(kMaxEntryValues) + " JSON values in one entry");
    }
    return &m_tree.Begin(kind, m_key);
  }

  // A value begins at `depth`; only the path root.log.entries matters.
  void Started(int depth, Kind kind) {
    if (depth > 3) return;
    const bool isObject = kind == Kind::kObject;
    m_objects[static_cast<std::size_t>(depth)] = isObject;
    if (depth == 0 && !isObject) Refuse("not a HAR file: the top level is not a JSON object");
    if (depth == 1 && InRoot() && m_key1 == "log") {
      if (!isObject) Refuse("log: expected an object");
      m_sawLog = true;
    }
    if (depth == 2 && InLog() && m_key2 == "entries") {
      if (kind != Kind::kArray) Refuse("log.entries: expected an array");
      m_inEntries = m_sawEntries = true;
    }
    if (depth == 3 && m_inEntries && !isObject) Refuse(EntryPath() + ": expected an object");
  }

  const IClock& m_clock;
  TransactionArray& m_records;
  int m_depth = 0;                  // how many objects and arrays are open
  std::array<bool, 4> m_objects{};  // whether the value open at each depth is an object
  std::string m_key1, m_key2;       // the member being read at depths 1 and 2
  bool m_sawLog = false;
  bool m_sawEntries = false;
  bool m_inEntries = false;
  bool m_inEntry = false;
  EntryTree m_tree;            // the entry being read
  std::string m_key;           // the member name that the next value in an object takes
  std::size_t m_entryValues = 0;
};

}  // namespace

HarLoadResult ReadHarFile(IByteSource& source, const IClock& clock) {
  HarLoadResult result;
  try {
    EntryScanner scanner(clock, result.records);
    // Syntax errors, a number beyond a double included, stop the reader here.
    if (auto error = ReadJson(source, scanner)) Refuse("not valid JSON: " + *error);
    scanner.CheckComplete();
  } catch (const HarFormatError& error) {
    result.error = FileError{error.message};
  }
  if (source.Failed()) result.error = FileError{"the file could not be read to its end"};
  if (result.error) result.records.clear();
  return result;
}

}  // namespace tracewell
