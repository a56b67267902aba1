#include "backend/driver_choice.h"

#include <charconv>
#include <cstdint>

#include "daq/comedi_driver.h"
#include "daq/sim_rig.h"
#include "replay/replay_backend.h"

#ifdef VELQUOR_HAVE_COMEDI
#include "daq/comedi_backend.h"
#endif

namespace velquor {
namespace {

Problem Refusal(std::string_view spelling, const std::string& why) {
  return Problem{"", 0, 0, "acquisition backend \"" + std::string(spelling) + "\": " + why};
}

Result<std::unique_ptr<AcqDriver>> Simulated(std::string_view spelling, std::string_view seed_text,
                                             bool has_seed) {
  std::uint64_t seed = 1;
  if (has_seed) {
    const char* first = seed_text.data();
    const char* last = first + seed_text.size();
    const auto [end, err] = std::from_chars(first, last, seed);
    if (seed_text.empty() || err != std::errc() || end != last) {
      return Refusal(spelling, "the seed \"" + std::string(seed_text) +
                                   "\" is not a whole number from 0 to 18446744073709551615");
    }
  }
  return std::unique_ptr<AcqDriver>(std::make_unique<SimRig>(seed));
}

Result<std::unique_ptr<AcqDriver>> Comedi(std::string_view spelling, std::string_view device,
                                          bool has_device) {
  if (has_device && device.empty()) {
    return Refusal(spelling, "the device file is missing after \"comedi:\"");
  }
#ifdef VELQUOR_HAVE_COMEDI
  return std::unique_ptr<AcqDriver>(
      std::make_unique<ComediDriver>(MakeComediLibrary(), std::string(device)));
#else
  return Refusal(spelling,
                 "this program was built without comedilib, so real cards cannot be used; "
                 "install comedilib (libcomedi-dev) and build again, or choose sim or replay");
#endif
}

Result<std::unique_ptr<AcqDriver>> Replay(std::string_view spelling, std::string_view file) {
  if (file.empty()) {
    return Refusal(spelling, "the file to replay is missing: write replay:FILE_csv.csv");
  }
  auto loaded = ReplayBackend::Load(std::string(file));
  if (!loaded) return loaded.problem();
  return std::unique_ptr<AcqDriver>(std::move(loaded.value()));
}

}  // namespace

bool ComediBuiltIn() {
#ifdef VELQUOR_HAVE_COMEDI
  return true;
#else
  return false;
#endif
}

Result<std::unique_ptr<AcqDriver>> ChooseDriver(std::string_view spelling) {
  const std::size_t colon = spelling.find(':');
  const std::string_view name = spelling.substr(0, colon);
  const bool has_arg = colon != std::string_view::npos;
  const std::string_view arg = has_arg ? spelling.substr(colon + 1) : std::string_view();
  if (name == "sim") return Simulated(spelling, arg, has_arg);
  if (name == "comedi") return Comedi(spelling, arg, has_arg);
  if (name == "replay") return Replay(spelling, arg);
  return Refusal(spelling, "unknown; choose sim[:SEED], comedi[:DEVICE] or replay:FILE");
}

std::string DriverChoiceHelp() {
  std::string help =
      "Acquisition backends (--daq):\n"
      "  sim[:SEED]       the simulated rig (the default); the same SEED, a whole number,\n"
      "                   gives the same measurement (seed 1 when none is given)\n"
      "  comedi[:DEVICE]  real cards through comedilib: driver number N opens /dev/comediN,\n"
      "                   or, with no card there, the first of /dev/comedi0..15 that has\n"
      "                   the subdevice needed; or every device opens DEVICE (e.g.\n"
      "                   comedi:/dev/comedi0); group number G picks the G-th analog-input\n"
      "                   or digital (DIO/DI) subdevice, counted from 1\n";
  if (!ComediBuiltIn())
    help += "                   (not available: this program was built without comedilib)\n";
  help +=
      "  replay:FILE      plays a saved per-sample file (..._csv.csv) back as the raw\n"
      "                   device values, one sample per read, starting over at its end;\n"
      "                   a trial's ..._trial.csv plays once at its own interval\n";
  return help;
}

}  // namespace velquor
