#include "bodies/body_view.h"

#include <array>
#include <vector>

#include "bodies/body_text.h"
#include "bodies/content_decoding.h"
#include "text/utf8.h"

namespace tracewell {
namespace {

constexpr std::u16string_view kNoRequestBody = u"The request has no body.\n";
constexpr std::u16string_view kNotStored = u"The response's body was not stored.\n";
constexpr std::u16string_view kStoreLostIt = u"The store no longer holds this response's body.\n";

constexpr std::array<std::u16string_view, 6> kTextTypes = {
    u"application/xml",        u"application/javascript", u"application/x-javascript",
    u"application/ecmascript", u"application/x-www-form-urlencoded", u"image/svg+xml"};

// Written without printf: "%zu" is not a conversion of every C library the program
// is built with.
std::u16string Bytes(std::size_t count) {
  if (count == 1) return u"1 byte";
  const std::string digits = std::to_string(count);
  return std::u16string(digits.begin(), digits.end()) + u" bytes";
}

bool IsJsonType(std::u16string_view type) {
  return type == u"application/json" || type == u"text/json" || type.ends_with(u"+json");
}

bool IsTextType(std::u16string_view type) {
  if (type.starts_with(u"text/") || type.ends_with(u"+xml")) return true;
  for (const auto text : kTextTypes) {
    if (type == text) return true;
  }
  return false;
}

bool IsImageType(std::u16string_view type) { return type.starts_with(u"image/") && type != u"image/svg+xml"; }

// Text that says so itself: a byte-order mark, or UTF-8 without control characters
// but tab, line breaks and form feed.
bool LooksLikeText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return true;
  }
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') return false;
  }
  return IsValidUtf8(bytes);
}

// How a body's bytes are shown.
struct Shown {
  BodyKind kind = BodyKind::kText;
  std::u16string text;
  std::string image;
  std::u16string description;
  std::vector<std::u16string> notes;
};

Shown AsHex(std::string_view bytes, BodyKind kind, std::u16string description) {
  Shown shown{kind, HexDump(bytes.substr(0, kHexDumpLimit)), {}, std::move(description), {}};
  if (bytes.size() > kHexDumpLimit) {
    shown.notes.push_back(u"The hex dump shows the first " + Bytes(kHexDumpLimit) + u".");
  }
  return shown;
}

Shown AsText(std::string_view bytes, std::u16string_view contentType, bool json) {
  BodyTextDecoding decoded = DecodeBodyText(bytes, contentType);
  Shown shown{BodyKind::kText, {}, {}, u"text (" + decoded.charsetName + u")", {}};
  if (json) {
    const auto laidOut = bytes.size() <= kJsonLayoutLimit ? PrettyJson(decoded.text) : std::nullopt;
    if (laidOut) {
      shown.kind = BodyKind::kJson;
      shown.description = u"JSON (" + decoded.charsetName + u")";
      shown.text = *laidOut;
      return shown;
    }
    shown.notes.push_back(bytes.size() <= kJsonLayoutLimit ? u"Not valid JSON: shown as text."
                                                           : u"Too large to lay out as JSON: shown as text.");
  }
  shown.text = std::move(decoded.text);
  return shown;
}

Shown Present(std::string_view bytes, std::u16string_view contentType) {
  const std::u16string type = MediaType(contentType);
  if (IsImageType(type) || (!IsTextType(type) && !IsJsonType(type) && HasImageSignature(bytes))) {
    Shown shown = AsHex(bytes, BodyKind::kImage, type.empty() ? u"image" : u"image (" + type + u")");
    shown.image = std::string(bytes);
    return shown;
  }
  if (IsJsonType(type)) return AsText(bytes, contentType, true);
  if (IsTextType(type) || LooksLikeText(bytes)) return AsText(bytes, contentType, false);
  return AsHex(bytes, BodyKind::kBinary, u"binary, shown in hex");
}

BodyView ViewOf(std::u16string sizes, std::string_view bytes, std::u16string_view contentType,
                std::vector<std::u16string> notes) {
  BodyView view;
  if (bytes.empty()) {
    view.summary = sizes + u"\n";
  } else {
    Shown shown = Present(bytes, contentType);
    view.kind = shown.kind;
    view.summary = sizes + u"; " + shown.description + u"\n";
    view.text = std::move(shown.text);
    view.image = std::move(shown.image);
    notes.insert(notes.end(), shown.notes.begin(), shown.notes.end());
  }
  for (const auto& note : notes) view.summary += note + u"\n";
  return view;
}

BodyView NoBody(std::u16string_view line) { return {BodyKind::kNone, std::u16string(line), {}, {}}; }

// A store's body: read within the bound, then decoded.
struct StoredBody {
  DecodedContent decoded;
  std::size_t storedSize = 0;
  bool readWhole = true;
};

std::optional<StoredBody> ReadStoredBody(const RecordBodies& bodies, ICacheFiles& files) {
  if (bodies.storedFile.empty()) return std::nullopt;
  auto bytes = files.ReadFileBytes(bodies.storedFile, kStoredBodyReadLimit + 1);
  if (!bytes) return std::nullopt;
  StoredBody body;
  body.readWhole = bytes->size() <= kStoredBodyReadLimit;
  if (!body.readWhole) bytes->resize(kStoredBodyReadLimit);
  body.storedSize = bytes->size();
  body.decoded = DecodeContent(*std::move(bytes), bodies.responseContentEncoding, kDecodedBodyLimit);
  return body;
}

std::vector<std::u16string> StoredBodyNotes(const StoredBody& body) {
  std::vector<std::u16string> notes;
  if (!body.readWhole) notes.push_back(u"Only the first " + Bytes(kStoredBodyReadLimit) + u" were read.");
  switch (body.decoded.status) {
    case DecodeStatus::kComplete:
      break;
    case DecodeStatus::kLimitReached:
      notes.push_back(u"Decoding stopped at " + Bytes(kDecodedBodyLimit) + u": the rest is not shown.");
      break;
    case DecodeStatus::kDamaged:
      // A body cut at the read bound ends early: that is no damage.
      if (body.readWhole) {
        notes.push_back(u"The " + body.decoded.encoding +
                        u" data is damaged: what decoded before the damage is shown.");
      }
      break;
    case DecodeStatus::kUnknownEncoding:
      notes.push_back(u"The content encoding \"" + body.decoded.encoding +
                      u"\" is not known: the body is shown as it was stored.");
      break;
    case DecodeStatus::kNotInThisBuild:
      notes.push_back(u"This build of Tracewell cannot decode \"" + body.decoded.encoding +
                      u"\": the body is shown as it was stored.");
      break;
  }
  return notes;
}

}  // namespace

BodyView RequestBodyView(const RecordBodies& bodies) {
  if (bodies.requestBody.empty()) return NoBody(kNoRequestBody);
  return ViewOf(u"Request body: " + Bytes(bodies.requestBody.size()), bodies.requestBody,
                bodies.requestContentType, {});
}

BodyView ResponseBodyView(const RecordBodies& bodies, ICacheFiles& files) {
  if (bodies.carriedBody) {
    return ViewOf(u"Response body: " + Bytes(bodies.carriedBody->size()) + u", kept with the record",
                  *bodies.carriedBody, bodies.responseContentType, {});
  }
  if (bodies.storedFile.empty()) return NoBody(kNotStored);
  const auto body = ReadStoredBody(bodies, files);
  if (!body) return NoBody(kStoreLostIt);
  std::u16string sizes = u"Response body: " + Bytes(body->storedSize);
  if (!bodies.responseContentEncoding.empty()) {
    sizes += u" as stored (" + bodies.responseContentEncoding + u"), " + Bytes(body->decoded.bytes.size()) + u" decoded";
  }
  // Bytes still under an encoding are not of the Content-Type's kind: they are shown
  // by what they look like.
  const bool stillEncoded = body->decoded.status == DecodeStatus::kUnknownEncoding ||
                            body->decoded.status == DecodeStatus::kNotInThisBuild;
  return ViewOf(std::move(sizes), body->decoded.bytes, stillEncoded ? u"" : bodies.responseContentType,
                StoredBodyNotes(*body));
}

std::u16string BodyViewText(const BodyView& view) {
  std::u16string text = view.summary + view.text;
  if (!view.text.empty() && !view.text.ends_with(u'\n')) text += u'\n';
  return text;
}

std::optional<std::string> CStoredBodies::DecodedResponseBody(const CHttpTransaction& record) {
  auto body = ReadStoredBody(RecordBodiesOf(record), m_files);
  if (!body || !body->readWhole || body->decoded.status != DecodeStatus::kComplete) return std::nullopt;
  return std::move(body->decoded.bytes);
}

}  // namespace tracewell
