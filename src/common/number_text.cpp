#include "common/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace velquor {
namespace {

// Significant digits of |v| rounded half away from zero, and the decimal exponent of the
// leading digit. Digits live in a small fixed buffer: this runs for every number saved.
struct Decimal {
  std::array<char, 24> digits;  // `count` characters, the first non-zero
  int count = 0;
  int exponent = 0;
};

// The first `count` significant digits of a (rounded at the last one as to_chars does, which
// is exact) into out, and the decimal exponent of the leading digit.
int SignificantDigits(double a, int count, char* out, int& exponent) {
  std::array<char, 128> buf;  // NOLINT(cppcoreguidelines-pro-type-member-init): written below
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::scientific,
                           count - 1);
  const char* p = buf.data();
  const char* end = res.ptr;
  int n = 0;
  out[n++] = *p++;
  if (count > 1) {
    ++p;  // the point
    while (*p != 'e') out[n++] = *p++;
  }
  ++p;  // 'e'
  if (*p == '+') ++p;
  exponent = 0;
  std::from_chars(p, end, exponent);
  return n;
}

Decimal RoundToDigits(double v, int digits) {
  const double a = std::fabs(v);
  // Most values: one digit more than kept decides the rounding, unless that digit came out
  // as 5, where only the exact expansion can tell a tie (round up) from just below one.
  std::array<char, 100> all;  // NOLINT(cppcoreguidelines-pro-type-member-init): written below
  int exponent = 0;
  SignificantDigits(a, digits + 1, all.data(), exponent);
  if (all.at(static_cast<std::size_t>(digits)) == '5') {
    SignificantDigits(a, digits + 80, all.data(), exponent);
  }

  Decimal out;
  out.count = digits;
  out.exponent = exponent;
  for (int i = 0; i < digits; ++i)
    out.digits.at(static_cast<std::size_t>(i)) = all.at(static_cast<std::size_t>(i));
  if (all.at(static_cast<std::size_t>(digits)) >= '5') {
    int i = digits - 1;
    while (i >= 0 && out.digits.at(static_cast<std::size_t>(i)) == '9') {
      out.digits.at(static_cast<std::size_t>(i)) = '0';
      --i;
    }
    if (i >= 0) {
      ++out.digits.at(static_cast<std::size_t>(i));
    } else {
      // 99..9 rounded up: 10..0 with one more in the exponent.
      out.digits.at(0) = '1';
      for (int k = 1; k < digits; ++k) out.digits.at(static_cast<std::size_t>(k)) = '0';
      ++out.exponent;
    }
  }
  return out;
}

}  // namespace

std::string NumberText(double v, int digits, bool keep_sign_blank) {
  if (std::isnan(v)) return keep_sign_blank ? " NaN" : "NaN";
  if (std::isinf(v)) return v < 0 ? "-Inf" : (keep_sign_blank ? " Inf" : "Inf");
  if (v == 0.0) return keep_sign_blank ? " 0" : "0";  // negative zero too
  // Whole numbers that fit the digits (sample numbers, encoder counts) print as they are.
  if (std::fabs(v) < 1e7 && v == std::trunc(v)) {
    std::array<char, 16> buf;  // NOLINT(cppcoreguidelines-pro-type-member-init): written below
    char* p = buf.data();
    if (v > 0 && keep_sign_blank) *p++ = ' ';
    p = std::to_chars(p, buf.data() + buf.size(), static_cast<long long>(v)).ptr;
    return std::string(buf.data(), p);
  }

  const Decimal d = RoundToDigits(v, digits);
  int len = d.count;
  while (len > 1 && d.digits.at(static_cast<std::size_t>(len - 1)) == '0') --len;
  const std::string_view sig(d.digits.data(), static_cast<std::size_t>(len));
  const int e = d.exponent;

  std::string out;
  if (v < 0) {
    out.push_back('-');
  } else if (keep_sign_blank) {
    out.push_back(' ');
  }
  if (e < -4 || e >= digits) {
    out.push_back(sig[0]);
    if (sig.size() > 1) {
      out.push_back('.');
      out.append(sig.substr(1));
    }
    out.append(e < 0 ? "E-" : "E+");
    const int mag = e < 0 ? -e : e;
    if (mag < 10) out.push_back('0');
    out.append(std::to_string(mag));
  } else if (e >= 0) {
    const auto int_len = static_cast<std::size_t>(e) + 1;
    if (sig.size() <= int_len) {
      out.append(sig);
      out.append(int_len - sig.size(), '0');
    } else {
      out.append(sig.substr(0, int_len));
      out.push_back('.');
      out.append(sig.substr(int_len));
    }
  } else {
    if (!keep_sign_blank) out.push_back('0');
    out.push_back('.');
    out.append(static_cast<std::size_t>(-e - 1), '0');
    out.append(sig);
  }
  return out;
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
  // Every negative value carries its sign, also one that rounds to nothing ("-.").
  return (v < 0 ? "-" : "") + ip + "." + dp;
}

}  // namespace velquor
