#include "measure/main_window_rules.h"

#include <array>

namespace velquor {
namespace {

constexpr std::array<int, 13> kLadder = {5,   10,  20,  50,   100,  200, 300,
                                         400, 500, 800, 1200, 1600, 2000};

}  // namespace

std::optional<SaveModeStep> NextSaveMode(int save_mode) {
  switch (save_mode) {
    case 0:
      return SaveModeStep{false, true, 1};
    case 1:
      return SaveModeStep{true, false, 2};
    case 2:
      return SaveModeStep{true, true, 3};
    case 3:
      return SaveModeStep{false, false, 0};
    default:
      return std::nullopt;
  }
}

std::optional<int> DataNumUp(float data_num) {
  if (!(data_num >= 5.0f)) return std::nullopt;
  if (data_num >= 1600.0f) return 2000;
  for (int v : kLadder) {
    if (static_cast<float>(v) > data_num) return v;
  }
  return std::nullopt;
}

std::optional<int> DataNumDown(float data_num) {
  if (!(data_num > 5.0f)) return std::nullopt;
  if (data_num > 1600.0f) return 1600;
  for (auto it = kLadder.rbegin(); it != kLadder.rend(); ++it) {
    if (static_cast<float>(*it) < data_num) return *it;
  }
  return std::nullopt;
}

}  // namespace velquor
