#include <cstdlib>

#include "net/fetcher.h"

namespace net {

std::optional<std::size_t> announcedLength(std::optional<std::string_view> contentLength) {
  if (!contentLength) return std::nullopt;
  // Read as a decimal integer: leading blanks, an optional sign, digits.
  std::string_view text = *contentLength;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t value = 0;
  bool any = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    any = true;
    if (value <= kMaxBodyBytes) value = value * 10 + static_cast<std::size_t>(text[i] - '0');
  }
  if (!any || negative) return std::nullopt;
  return value;
}

std::size_t blockSizeFor(std::optional<std::string_view> contentLength) {
  constexpr std::size_t kWithoutLength = 10240;
  constexpr std::size_t kLargest = 102400;
  const std::optional<std::size_t> value = announcedLength(contentLength);
  if (!value || *value == 0) return kWithoutLength;
  return *value + 1 < kLargest ? *value + 1 : kLargest;
}

bool isRedirectStatus(unsigned status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool hasScheme(std::string_view address, std::string_view scheme) {
  if (address.size() < scheme.size()) return false;
  for (std::size_t i = 0; i < scheme.size(); ++i) {
    char c = address[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != scheme[i]) return false;
  }
  return true;
}

bool mayRedirect(std::string_view from, std::string_view to) {
  return !hasScheme(from, "https:") || hasScheme(to, "https:");
}

std::string pathWithoutFragment(std::string_view pathAndQuery) {
  return std::string(pathAndQuery.substr(0, pathAndQuery.find('#')));
}

}  // namespace net
