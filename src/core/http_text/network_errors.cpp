#include "http_text/network_errors.h"

#include <algorithm>
#include <array>

namespace tracewell {
namespace {

constexpr std::array<std::u16string_view, kLastInternetError - kFirstInternetError + 1> kNames = {
    u"INTERNET_ERROR_BASE",  // 12000
    u"ERROR_INTERNET_OUT_OF_HANDLES",  // 12001
    u"ERROR_INTERNET_TIMEOUT",  // 12002
    u"ERROR_INTERNET_EXTENDED_ERROR",  // 12003
    u"ERROR_INTERNET_INTERNAL_ERROR",  // 12004
    u"ERROR_INTERNET_INVALID_URL",  // 12005
    u"ERROR_INTERNET_UNRECOGNIZED_SCHEME",  // 12006
    u"ERROR_INTERNET_NAME_NOT_RESOLVED",  // 12007
    u"ERROR_INTERNET_PROTOCOL_NOT_FOUND",  // 12008
    u"ERROR_INTERNET_INVALID_OPTION",  // 12009
    u"ERROR_INTERNET_BAD_OPTION_LENGTH",  // 12010
    u"ERROR_INTERNET_OPTION_NOT_SETTABLE",  // 12011
    u"ERROR_INTERNET_SHUTDOWN",  // 12012
    u"ERROR_INTERNET_INCORRECT_USER_NAME",  // 12013
    u"ERROR_INTERNET_INCORRECT_PASSWORD",  // 12014
    u"ERROR_INTERNET_LOGIN_FAILURE",  // 12015
    u"ERROR_INTERNET_INVALID_OPERATION",  // 12016
    u"ERROR_INTERNET_OPERATION_CANCELLED",  // 12017
    u"ERROR_INTERNET_INCORRECT_HANDLE_TYPE",  // 12018
    u"ERROR_INTERNET_INCORRECT_HANDLE_STATE",  // 12019
    u"ERROR_INTERNET_NOT_PROXY_REQUEST",  // 12020
    u"ERROR_INTERNET_REGISTRY_VALUE_NOT_FOUND",  // 12021
    u"ERROR_INTERNET_BAD_REGISTRY_PARAMETER",  // 12022
    u"ERROR_INTERNET_NO_DIRECT_ACCESS",  // 12023
    u"ERROR_INTERNET_NO_CONTEXT",  // 12024
    u"ERROR_INTERNET_NO_CALLBACK",  // 12025
    u"ERROR_INTERNET_REQUEST_PENDING",  // 12026
    u"ERROR_INTERNET_INCORRECT_FORMAT",  // 12027
    u"ERROR_INTERNET_ITEM_NOT_FOUND",  // 12028
    u"ERROR_INTERNET_CANNOT_CONNECT",  // 12029
    u"ERROR_INTERNET_CONNECTION_ABORTED",  // 12030
    u"ERROR_INTERNET_CONNECTION_RESET",  // 12031
    u"ERROR_INTERNET_FORCE_RETRY",  // 12032
    u"ERROR_INTERNET_INVALID_PROXY_REQUEST",  // 12033
    u"ERROR_INTERNET_NEED_UI",  // 12034
    u"undefined",  // 12035
    u"ERROR_INTERNET_HANDLE_EXISTS",  // 12036
    u"ERROR_INTERNET_SEC_CERT_DATE_INVALID",  // 12037
    u"ERROR_INTERNET_SEC_CERT_CN_INVALID",  // 12038
    u"ERROR_INTERNET_HTTP_TO_HTTPS_ON_REDIR",  // 12039
    u"ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR",  // 12040
    u"ERROR_INTERNET_MIXED_SECURITY",  // 12041
    u"ERROR_INTERNET_CHG_POST_IS_NON_SECURE",  // 12042
    u"ERROR_INTERNET_POST_IS_NON_SECURE",  // 12043
    u"ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED",  // 12044
    u"ERROR_INTERNET_INVALID_CA",  // 12045
    u"ERROR_INTERNET_CLIENT_AUTH_NOT_SETUP",  // 12046
    u"ERROR_INTERNET_ASYNC_THREAD_FAILED",  // 12047
    u"ERROR_INTERNET_REDIRECT_SCHEME_CHANGE",  // 12048
    u"ERROR_INTERNET_DIALOG_PENDING",  // 12049
    u"ERROR_INTERNET_RETRY_DIALOG",  // 12050
    u"ERROR_INTERNET_HTTPS_HTTP_SUBMIT_REDIR",  // 12051
    u"ERROR_INTERNET_INSERT_CDROM",  // 12052
    u"ERROR_INTERNET_FORTEZZA_LOGIN_NEEDED",  // 12053
    u"ERROR_INTERNET_SEC_CERT_ERRORS",  // 12054
    u"ERROR_INTERNET_SEC_CERT_NO_REV",  // 12055
    u"ERROR_INTERNET_SEC_CERT_REV_FAILED",  // 12056
};

struct BrowserError {
  std::string_view name;
  std::uint32_t number;  // 0: aborted, no number
};

// Sorted by name for the binary search.
constexpr BrowserError kBrowserErrors[] = {
    {"ERR_ABORTED", 0},
    {"ERR_ADDRESS_INVALID", kErrorCannotConnect},
    {"ERR_ADDRESS_UNREACHABLE", kErrorCannotConnect},
    {"ERR_CERT_AUTHORITY_INVALID", kErrorUnknownAuthority},
    {"ERR_CERT_COMMON_NAME_INVALID", kErrorCertificateName},
    {"ERR_CERT_DATE_INVALID", kErrorCertificateDate},
    {"ERR_CERT_NO_REVOCATION_MECHANISM", 12055},
    {"ERR_CERT_UNABLE_TO_CHECK_REVOCATION", 12056},
    {"ERR_CONNECTION_ABORTED", kErrorConnectionAborted},
    {"ERR_CONNECTION_CLOSED", kErrorConnectionAborted},
    {"ERR_CONNECTION_FAILED", kErrorCannotConnect},
    {"ERR_CONNECTION_REFUSED", kErrorCannotConnect},
    {"ERR_CONNECTION_RESET", kErrorConnectionReset},
    {"ERR_CONNECTION_TIMED_OUT", kErrorTimeout},
    {"ERR_DISALLOWED_URL_SCHEME", 12006},
    {"ERR_DNS_TIMED_OUT", kErrorTimeout},
    {"ERR_EMPTY_RESPONSE", kErrorConnectionAborted},
    {"ERR_ICANN_NAME_COLLISION", kErrorNameNotResolved},
    {"ERR_INTERNET_DISCONNECTED", kErrorCannotConnect},
    {"ERR_INVALID_URL", kErrorInvalidUrl},
    {"ERR_NAME_NOT_RESOLVED", kErrorNameNotResolved},
    {"ERR_NAME_RESOLUTION_FAILED", kErrorNameNotResolved},
    {"ERR_NETWORK_ACCESS_DENIED", kErrorCannotConnect},
    {"ERR_NETWORK_CHANGED", kErrorConnectionReset},
    {"ERR_PROXY_CONNECTION_FAILED", kErrorCannotConnect},
    {"ERR_SSL_CLIENT_AUTH_CERT_NEEDED", 12044},
    {"ERR_SSL_PROTOCOL_ERROR", kErrorConnectionAborted},
    {"ERR_SSL_VERSION_OR_CIPHER_MISMATCH", kErrorConnectionAborted},
    {"ERR_TIMED_OUT", kErrorTimeout},
    {"ERR_TUNNEL_CONNECTION_FAILED", kErrorCannotConnect},
    {"ERR_UNKNOWN_URL_SCHEME", 12006},
};

}  // namespace

std::optional<std::uint32_t> NetworkErrorNumber(std::string_view errorText) {
  if (errorText.starts_with("net::")) errorText.remove_prefix(5);
  const auto* found = std::lower_bound(
      std::begin(kBrowserErrors), std::end(kBrowserErrors), errorText,
      [](const BrowserError& entry, std::string_view name) { return entry.name < name; });
  if (found != std::end(kBrowserErrors) && found->name == errorText) {
    if (found->number == 0) return std::nullopt;
    return found->number;
  }
  return errorText.starts_with("ERR_CERT_") ? kErrorCertificate : kErrorConnectionAborted;
}

std::optional<std::u16string_view> InternetErrorName(int code) {
  if (code < kFirstInternetError || code > kLastInternetError) return std::nullopt;
  return kNames[static_cast<std::size_t>(code - kFirstInternetError)];
}

}  // namespace tracewell
