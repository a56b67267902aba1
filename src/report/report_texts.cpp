#include "report/report_texts.h"

#include <cctype>

#include "common/shortest_text.h"

namespace velquor {
namespace {

bool Digits(std::string_view t) {
  for (char c : t) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return false;
  }
  return true;
}

}  // namespace

std::string IsoDate(std::string_view d) {
  if (d.size() != 10 || d[2] != '-' || d[5] != '-' || !Digits(d.substr(0, 2)) ||
      !Digits(d.substr(3, 2)) || !Digits(d.substr(6, 4))) {
    return std::string(d);
  }
  return std::string(d.substr(6, 4)) + "-" + std::string(d.substr(0, 2)) + "-" +
         std::string(d.substr(3, 2));
}

std::string IsoDateTime(std::string_view date, std::string_view time) {
  std::string t(time);
  if (time.size() >= 8 && time[2] == ':' && time[5] == ':' && Digits(time.substr(0, 2)) &&
      Digits(time.substr(3, 2)) && Digits(time.substr(6, 2))) {
    t = std::string(time.substr(0, 5)) + std::string(time.substr(8));
  }
  const std::string d = IsoDate(date);
  if (d.empty()) return t;
  return t.empty() ? d : d + " " + t;
}

std::string ZeroAsZero(std::string text) {
  std::string_view t(text);
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) t.remove_prefix(1);
  if (t.empty()) return text;
  for (char c : t) {
    if (c != '0' && c != '.') return text;
  }
  return "0";
}

std::string CoefficientText(double v) {
  return ShortestText(static_cast<float>(v));
}

}  // namespace velquor
