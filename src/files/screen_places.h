// Where the operator last put each screen, kept on line 17 of the settings file: "Screens"
// in double quotes, then for every screen its name, left, top, width and height in pixels.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace velquor {

inline constexpr int kScreensLine = 17;

// `left` and `top` place the window's outer frame on the desktop; `width` and `height` are
// its inside.
struct ScreenPlace {
  std::string name;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool operator==(const ScreenPlace&) const = default;
};
using ScreenPlaces = std::vector<ScreenPlace>;

// The line, without its line end: "\"Screens\",Form2,1120,40,360,272,Form6,...".
std::string ScreenPlacesLine(const ScreenPlaces& places);

struct ScreenPlacesLoad {
  ScreenPlaces places;
  std::vector<Problem> notices;
};

// Reads line 17 of a settings file's text (or the first "Screens" line after it, when a
// quoted text above holds a line break). A file without it remembers no places and says
// nothing; an entry that is not a
// name and four whole numbers (width and height at least 1) is left out with a notice.
ScreenPlacesLoad ReadScreenPlaces(std::string_view settings_text, const std::string& file);

}  // namespace velquor
