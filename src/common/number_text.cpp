#include "common/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace velquor {
namespace {

// Significant digits of |v| rounded half away from zero to `digits` digits, and the
// decimal exponent of the leading digit. v must be finite and non-zero.
struct Decimal {
  std::string digits;  // exactly `digits` characters, the first non-zero
  int exponent = 0;
};

// The first `count` significant digits of |v| (rounded at the last one as to_chars does,
// which is exact) and the decimal exponent of the leading digit.
void SignificantDigits(double a, int count, std::string& digits, int& exponent) {
  std::array<char, 160> buf{};
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::scientific,
                           count - 1);
  std::string_view text(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
  const std::size_t e = text.find('e');
  digits.assign(1, text[0]);
  if (count > 1) digits.append(text.substr(2, e - 2));
  exponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                  exponent);
}

Decimal RoundToDigits(double v, int digits) {
  const double a = std::fabs(v);
  // Most values: one digit more than kept decides the rounding, unless that digit came out
  // as 5, where only the exact expansion can tell a tie (round up) from just below one.
  std::string all;
  int exponent = 0;
  SignificantDigits(a, digits + 1, all, exponent);
  if (all.back() == '5') SignificantDigits(a, digits + 80, all, exponent);

  Decimal out;
  out.digits = all.substr(0, static_cast<std::size_t>(digits));
  out.exponent = exponent;
  if (all[static_cast<std::size_t>(digits)] >= '5') {
    int i = digits - 1;
    while (i >= 0 && out.digits[static_cast<std::size_t>(i)] == '9') {
      out.digits[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++out.digits[static_cast<std::size_t>(i)];
    } else {
      out.digits.insert(out.digits.begin(), '1');
      out.digits.pop_back();
      ++out.exponent;
    }
  }
  return out;
}

std::string TwoDigitExponent(int e) {
  std::string s = std::to_string(std::abs(e));
  if (s.size() < 2) s.insert(s.begin(), '0');
  return std::string(e < 0 ? "E-" : "E+") + s;
}

}  // namespace

std::string NumberText(double v, int digits, bool keep_sign_blank) {
  if (std::isnan(v)) return keep_sign_blank ? " NaN" : "NaN";
  if (std::isinf(v)) return v < 0 ? "-Inf" : (keep_sign_blank ? " Inf" : "Inf");
  std::string sign = v < 0 ? "-" : (keep_sign_blank ? " " : "");
  if (v == 0.0) return keep_sign_blank ? " 0" : "0";  // negative zero too

  Decimal d = RoundToDigits(v, digits);
  std::string sig = d.digits;
  while (sig.size() > 1 && sig.back() == '0') sig.pop_back();
  const int e = d.exponent;

  std::string body;
  if (e < -4 || e >= digits) {
    body = sig.substr(0, 1);
    if (sig.size() > 1) body += "." + sig.substr(1);
    body += TwoDigitExponent(e);
  } else if (e >= 0) {
    const auto int_len = static_cast<std::size_t>(e) + 1;
    if (sig.size() <= int_len) {
      body = sig + std::string(int_len - sig.size(), '0');
    } else {
      body = sig.substr(0, int_len) + "." + sig.substr(int_len);
    }
  } else {
    body = (keep_sign_blank ? "" : "0") + std::string(".") +
           std::string(static_cast<std::size_t>(-e - 1), '0') + sig;
  }
  return sign + body;
}

std::string StrForm(float v) {
  return NumberText(static_cast<double>(v), 7, true);
}
std::string StrForm(double v) {
  return NumberText(v, 15, true);
}
std::string PlainForm(float v) {
  return NumberText(static_cast<double>(v), 7, false);
}
std::string PlainForm(double v) {
  return NumberText(v, 15, false);
}

std::string FormatPattern(double v, std::string_view pattern) {
  std::size_t point = pattern.find('.');
  int decimals = 0;
  if (point != std::string_view::npos) {
    for (std::size_t i = point + 1; i < pattern.size(); ++i) {
      if (pattern[i] == '#' || pattern[i] == '0') ++decimals;
    }
  }
  if (!std::isfinite(v)) return std::isnan(v) ? "NaN" : (v < 0 ? "-Inf" : "Inf");

  // Exact fixed-point digits of |v|, then round half away from zero at `decimals`.
  std::string buf(400, '\0');
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(v),
                           std::chars_format::fixed, decimals + 40);
  buf.resize(static_cast<std::size_t>(res.ptr - buf.data()));
  std::size_t dot = buf.find('.');
  std::string int_part = buf.substr(0, dot);
  std::string frac = buf.substr(dot + 1);
  bool round_up = frac[static_cast<std::size_t>(decimals)] >= '5';
  std::string kept = int_part + frac.substr(0, static_cast<std::size_t>(decimals));
  if (round_up) {
    int i = static_cast<int>(kept.size()) - 1;
    while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') {
      kept[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++kept[static_cast<std::size_t>(i)];
    } else {
      kept.insert(kept.begin(), '1');
    }
  }
  std::string ip = kept.substr(0, kept.size() - static_cast<std::size_t>(decimals));
  std::string dp = kept.substr(kept.size() - static_cast<std::size_t>(decimals));
  std::size_t nz = ip.find_first_not_of('0');
  ip = nz == std::string::npos ? "" : ip.substr(nz);
  while (!dp.empty() && dp.back() == '0') dp.pop_back();
  // A value that rounds to zero is shown without a sign.
  bool negative = v < 0 && !(ip.empty() && dp.empty());
  return (negative ? "-" : "") + ip + "." + dp;
}

}  // namespace velquor
