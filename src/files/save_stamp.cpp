#include "files/save_stamp.h"

#include <ctime>

namespace velquor {
namespace {

std::string Two(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

std::string Four(int v) {
  std::string s = std::to_string(v);
  return s.size() < 4 ? std::string(4 - s.size(), '0') + s : s;
}

}  // namespace

SaveStamp CurrentStamp() {
  return StampAt(std::time(nullptr));
}

SaveStamp StampAt(long long seconds) {
  const auto at = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&at, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string DateText(const SaveStamp& s) {
  return Two(s.month) + "-" + Two(s.day) + "-" + Four(s.year);
}

std::string TimeText(const SaveStamp& s) {
  return Two(s.hour) + ":" + Two(s.minute) + ":" + Two(s.second);
}

std::string IsoStampText(const SaveStamp& s) {
  return Four(s.year) + "-" + Two(s.month) + "-" + Two(s.day) + " " + Two(s.hour) + ":" +
         Two(s.minute);
}

std::string CopyStampText(const SaveStamp& s) {
  return Two(s.month) + Two(s.day) + Two(s.hour) + Two(s.minute);
}

}  // namespace velquor
