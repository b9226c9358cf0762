#include "WebAddress.h"

namespace web {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool IsAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Length of a leading URL scheme followed by ':' (RFC 3986), 0 when there is none.
size_t SchemeLength(std::string_view s) {
  if (s.empty() || !IsAlpha(s[0])) return 0;
  size_t i = 1;
  while (i < s.size() &&
         (IsAlpha(s[i]) || IsDigit(s[i]) || s[i] == '+' || s[i] == '-' || s[i] == '.'))
    ++i;
  return i < s.size() && s[i] == ':' ? i : 0;
}

// "localhost:8080/x" and "example.com:80" look like a scheme but are a host and a port.
bool PortFollows(std::string_view afterColon) {
  size_t i = 0;
  while (i < afterColon.size() && IsDigit(afterColon[i])) ++i;
  return i > 0 && (i == afterColon.size() || afterColon[i] == '/' || afterColon[i] == '?' ||
                   afterColon[i] == '#');
}

}  // namespace

TAddress ParseAddress(std::string_view utf8) {
  while (!utf8.empty() && IsBlank(utf8.front())) utf8.remove_prefix(1);
  while (!utf8.empty() && IsBlank(utf8.back())) utf8.remove_suffix(1);
  if (utf8.empty()) return {};
  if (utf8.front() == '/') return {TAddressKind::LocalPath, std::string(utf8)};
  size_t scheme = SchemeLength(utf8);
  if (scheme > 0 && !PortFollows(utf8.substr(scheme + 1)))
    return {TAddressKind::Url, std::string(utf8)};
  return {TAddressKind::Url, "http://" + std::string(utf8)};
}

}  // namespace web
