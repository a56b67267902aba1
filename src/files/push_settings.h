// The push-analysis parameters in the settings file: line 16, the label "Push" in quotes
// and the six numbers in plain form. Files of the older layout end before it.
#pragma once

#include <string>
#include <vector>

#include "analysis/push_parameters.h"
#include "common/result.h"
#include "files/positional_fields.h"

namespace velquor {

inline constexpr int kPushSettingsLine = 16;

// Reads line 16 from `fields`, which stand at its start. A file that ends before it leaves
// the defaults without a word; a number that is missing or refused keeps that parameter's
// default, with a notice naming the line and field.
void ReadPushSettings(PositionalFields& fields, const std::string& file, PushParameters& p,
                      std::vector<Problem>& notices);

// "\"Push\",1,5,0.1,0.05,1,0" and CR LF.
std::string PushSettingsLine(const PushParameters& p);

}  // namespace velquor
