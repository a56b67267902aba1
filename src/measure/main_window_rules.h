// The rules behind the main window's function keys: the F1 save-mode cycle and the F2/F3
// ladder. The linked condition boxes follow the measuring condition's rules (record/condition.h).
#pragma once

#include <optional>

#include "record/condition.h"

namespace velquor {

// One step of the F1 cycle: the two save boxes' new states and the new SaveMode.
struct SaveModeStep {
  bool autoSave = false;
  bool manSave = false;
  int newMode = 0;
};
// Nothing for a SaveMode outside 0..3 (the boxes and the mode then stay as they are).
std::optional<SaveModeStep> NextSaveMode(int save_mode);

// The F3 and F2 steps along the preset ladder 5, 10, 20, 50, 100, 200, 300, 400, 500, 800,
// 1200, 1600, 2000, from DataNum; nothing when the key does nothing at that value.
std::optional<int> DataNumUp(float data_num);
std::optional<int> DataNumDown(float data_num);

}  // namespace velquor
