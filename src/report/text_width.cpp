#include "report/text_width.h"

#include <array>

namespace velquor {
namespace {

// Advance widths of " " to "~" in thousandths of an em, regular and bold.
constexpr std::array<short, 95> kRegular = {
    317, 400, 459, 837, 636, 950, 779, 274, 390, 390, 500, 837, 317, 360,  317, 336, 636, 636, 636,
    636, 636, 636, 636, 636, 636, 636, 336, 336, 837, 837, 837, 530, 1000, 684, 686, 698, 770, 631,
    575, 774, 751, 294, 294, 655, 557, 862, 748, 787, 603, 787, 694, 634,  610, 731, 684, 988, 685,
    610, 685, 390, 336, 390, 837, 500, 500, 612, 634, 549, 634, 615, 352,  634, 633, 277, 277, 579,
    277, 974, 633, 611, 634, 634, 411, 520, 392, 633, 591, 817, 591, 591,  524, 636, 336, 636, 837,
};
constexpr std::array<short, 95> kBold = {
    348,  456, 520, 837, 695, 1001, 872, 306,  457, 457, 522, 837, 379, 415,  379, 365,
    695,  695, 695, 695, 695, 695,  695, 695,  695, 695, 399, 399, 837, 837,  837, 580,
    1000, 773, 762, 733, 830, 683,  683, 820,  836, 372, 372, 774, 637, 995,  836, 850,
    732,  850, 770, 720, 682, 812,  773, 1103, 770, 724, 725, 457, 365, 457,  837, 500,
    500,  674, 715, 592, 715, 678,  435, 715,  711, 342, 342, 665, 342, 1041, 711, 687,
    715,  715, 493, 595, 478, 711,  651, 923,  645, 651, 582, 711, 365, 711,  837,
};
constexpr double kMmPerPoint = 25.4 / 72.0;

}  // namespace

double TextWidthMm(std::string_view utf8, double points, bool bold) {
  const auto& widths = bold ? kBold : kRegular;
  long ems = 0;
  for (unsigned char c : utf8) {
    if (c >= 0x20 && c < 0x7f) {
      ems += widths.at(c - 0x20u);
    } else if (c >= 0xc0) {
      ems += 1000;  // the first byte of a character outside ASCII; the rest add nothing
    }
  }
  return static_cast<double>(ems) / 1000 * points * kMmPerPoint;
}

}  // namespace velquor
