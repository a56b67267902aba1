#include "files/screen_places.h"

#include <array>
#include <optional>

#include "common/field_reader.h"
#include "common/number_parse.h"
#include "files/labelled_line.h"

namespace velquor {
namespace {

constexpr std::string_view kLabel = "\"Screens\"";
constexpr std::int64_t kFarthest = 1'000'000;  // pixels; farther than any desktop reaches

}  // namespace

std::string ScreenPlacesLine(const ScreenPlaces& places) {
  std::string out(kLabel);
  for (const ScreenPlace& p : places) {
    out += "," + p.name;
    for (int v : {p.left, p.top, p.width, p.height}) out += "," + std::to_string(v);
  }
  return out;
}

ScreenPlacesLoad ReadScreenPlaces(std::string_view settings_text, const std::string& file) {
  ScreenPlacesLoad out;
  const auto line = LabelledLine(settings_text, kScreensLine, kLabel);
  if (!line) return out;
  FieldReader fields(*line);
  fields.Next();  // the label
  int index = 1;
  while (auto name = fields.Next()) {
    const int first = ++index;
    ScreenPlace place{name->text};
    std::array<int*, 4> values = {&place.left, &place.top, &place.width, &place.height};
    bool whole = !place.name.empty();
    for (std::size_t k = 0; k < values.size(); ++k) {
      const auto f = fields.Next();
      ++index;
      const std::int64_t lo = k < 2 ? -kFarthest : 1;
      const auto v = f ? ParseWhole(f->text, lo, kFarthest) : std::nullopt;
      if (v) {
        *values.at(k) = static_cast<int>(*v);
      } else {
        whole = false;
      }
    }
    if (!whole) {
      out.notices.push_back({file, kScreensLine, first,
                             "the place of screen \"" + place.name +
                                 "\" is not a name, two whole numbers and a width and height "
                                 "of at least 1; the screen opens beside the main window"});
      continue;
    }
    out.places.push_back(place);
  }
  return out;
}

}  // namespace velquor
