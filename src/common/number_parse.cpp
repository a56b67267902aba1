#include "common/number_parse.h"

#include <charconv>
#include <cmath>
#include <string>

namespace velquor {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Length of the longest prefix of s that reads as a decimal number, 0 when none.
std::size_t NumberPrefix(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) {
    ++i;
    ++digits;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) {
      ++i;
      ++digits;
    }
  }
  if (digits == 0) return 0;
  std::size_t end = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    std::size_t exp_digits = 0;
    while (j < s.size() && IsDigit(s[j])) {
      ++j;
      ++exp_digits;
    }
    if (exp_digits > 0) end = j;
  }
  return end;
}

// Converts a text already known to be a number (by NumberPrefix) to a double.
double Convert(std::string_view s) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double v = 0.0;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: keep the sign, saturate sensibly.
    bool negative = !s.empty() && s.front() == '-';
    std::size_t e = s.find_first_of("eE");
    bool tiny = e != std::string_view::npos && e + 1 < s.size() && s[e + 1] == '-';
    if (tiny) return negative ? -0.0 : 0.0;
    return negative ? -HUGE_VAL : HUGE_VAL;
  }
  (void)ptr;
  return v;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

double Val(std::string_view text) {
  std::string cleaned;
  cleaned.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') cleaned.push_back(c);
  }
  std::size_t n = NumberPrefix(cleaned);
  if (n == 0) return 0.0;
  return Convert(std::string_view(cleaned).substr(0, n));
}

std::optional<double> ParseComplete(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  std::size_t n = NumberPrefix(text);
  if (n == 0 || n != text.size()) return std::nullopt;
  double v = Convert(text);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

double RoundHalfEven(double v) {
  double r = std::round(v);  // halves away from zero
  if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
  return r;
}

std::optional<std::int64_t> ParseWhole(std::string_view text, std::int64_t lo, std::int64_t hi) {
  auto v = ParseComplete(text);
  if (!v) return std::nullopt;
  double r = RoundHalfEven(*v);
  if (r < static_cast<double>(lo) || r > static_cast<double>(hi)) return std::nullopt;
  return static_cast<std::int64_t>(r);
}

std::optional<std::int16_t> ParseWhole16(std::string_view text) {
  auto v = ParseWhole(text, -32768, 32767);
  if (!v) return std::nullopt;
  return static_cast<std::int16_t>(*v);
}

}  // namespace velquor
