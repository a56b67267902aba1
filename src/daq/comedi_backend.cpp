#include "daq/comedi_backend.h"

#include <comedilib.h>

#include <cerrno>
#include <cstddef>
#include <vector>

namespace velquor {
namespace {

class ComediLibrary : public ComediSeam {
 public:
  ComediLibrary() {
    // Codes 0 and maxdata are numbers, not NaN, in every conversion the library makes.
    comedi_set_global_oor_behavior(COMEDI_OOR_NUMBER);
  }
  ComediLibrary(const ComediLibrary&) = delete;
  ComediLibrary& operator=(const ComediLibrary&) = delete;
  ~ComediLibrary() override {
    for (comedi_t* dev : devices_) {
      if (dev != nullptr) comedi_close(dev);
    }
  }

  ComediAnswer Open(const std::string& path) override {
    comedi_t* dev = comedi_open(path.c_str());
    if (dev == nullptr) return Answer(-1);
    for (std::size_t i = 0; i < devices_.size(); ++i) {
      if (devices_[i] == nullptr) {
        devices_[i] = dev;
        return {static_cast<std::int64_t>(i), {}};
      }
    }
    devices_.push_back(dev);
    return {static_cast<std::int64_t>(devices_.size() - 1), {}};
  }

  ComediAnswer Close(int handle) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr) return NoDevice();
    devices_[static_cast<std::size_t>(handle)] = nullptr;
    return Answer(comedi_close(dev));
  }

  ComediAnswer SubdeviceCount(int handle) override {
    comedi_t* dev = At(handle);
    return dev == nullptr ? NoDevice() : Answer(comedi_get_n_subdevices(dev));
  }

  SubdeviceKind Kind(int handle, int subdev) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return SubdeviceKind::kOther;
    switch (comedi_get_subdevice_type(dev, static_cast<unsigned>(subdev))) {
      case COMEDI_SUBD_AI:
        return SubdeviceKind::kAnalogIn;
      case COMEDI_SUBD_DI:
        return SubdeviceKind::kDigitalIn;
      case COMEDI_SUBD_DIO:
        return SubdeviceKind::kDigitalIo;
      default:
        return SubdeviceKind::kOther;
    }
  }

  ComediAnswer ChannelCount(int handle, int subdev) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return NoDevice();
    return Answer(comedi_get_n_channels(dev, static_cast<unsigned>(subdev)));
  }

  ComediAnswer References(int handle, int subdev) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return NoDevice();
    const int flags = comedi_get_subdevice_flags(dev, static_cast<unsigned>(subdev));
    if (flags < 0) return Answer(flags);
    std::int64_t refs = 0;
    if ((flags & SDF_GROUND) != 0) refs |= ReferenceBit(AnalogReference::kGround);
    if ((flags & SDF_DIFF) != 0) refs |= ReferenceBit(AnalogReference::kDifferential);
    return {refs, {}};
  }

  ComediAnswer RangeCount(int handle, int subdev, int chan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0) return NoDevice();
    return Answer(
        comedi_get_n_ranges(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan)));
  }

  std::optional<ComediRange> Range(int handle, int subdev, int chan, int range) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0 || range < 0) return std::nullopt;
    const comedi_range* r =
        comedi_get_range(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan),
                         static_cast<unsigned>(range));
    if (r == nullptr) return std::nullopt;
    return ComediRange{r->min, r->max, r->unit == UNIT_volt};
  }

  ComediAnswer MaxData(int handle, int subdev, int chan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0) return NoDevice();
    const lsampl_t max =
        comedi_get_maxdata(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan));
    return max == 0 ? Answer(-1) : ComediAnswer{max, {}};
  }

  ComediAnswer ReadSettled(int handle, int subdev, int chan, int range, AnalogReference ref,
                           unsigned settle_ns, std::uint32_t& data) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0 || range < 0) return NoDevice();
    lsampl_t sample = 0;
    const unsigned aref = ref == AnalogReference::kGround ? AREF_GROUND : AREF_DIFF;
    // The kernel waits in whole microseconds, rounded up, and refuses waits of 100 µs or more.
    const ComediAnswer got = Answer(
        comedi_data_read_delayed(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan),
                                 static_cast<unsigned>(range), aref, &sample, settle_ns));
    data = sample;
    return got;
  }

  ComediAnswer DioIsOutput(int handle, int subdev, int chan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0) return NoDevice();
    unsigned direction = COMEDI_INPUT;
    const ComediAnswer got = Answer(comedi_dio_get_config(dev, static_cast<unsigned>(subdev),
                                                          static_cast<unsigned>(chan), &direction));
    if (!got.ok()) return got;
    return {direction == COMEDI_OUTPUT ? 1 : 0, {}};
  }

  ComediAnswer DioConfigInput(int handle, int subdev, int chan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0) return NoDevice();
    return Answer(comedi_dio_config(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan),
                                    COMEDI_INPUT));
  }

  ComediAnswer DioReadBits(int handle, int subdev, std::uint32_t& bits) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return NoDevice();
    unsigned int value = 0;
    const ComediAnswer got =
        Answer(comedi_dio_bitfield2(dev, static_cast<unsigned>(subdev), 0, &value, 0));
    bits = value;
    return got;
  }

 private:
  // The library's answer, with its error number and text read at once when it failed.
  static ComediAnswer Answer(std::int64_t value) {
    if (value >= 0) return {value, {}};
    const int number = comedi_errno();
    const char* text = comedi_strerror(number);
    return {value, {number, text != nullptr ? text : ""}};
  }
  static ComediAnswer NoDevice() { return {-1, {EBADF, "no such open device"}}; }

  // The open device behind a handle, or nullptr.
  comedi_t* At(int handle) const {
    const bool known = handle >= 0 && static_cast<std::size_t>(handle) < devices_.size() &&
                       devices_[static_cast<std::size_t>(handle)] != nullptr;
    return known ? devices_[static_cast<std::size_t>(handle)] : nullptr;
  }

  std::vector<comedi_t*> devices_;
};

}  // namespace

std::unique_ptr<ComediSeam> MakeComediLibrary() {
  return std::make_unique<ComediLibrary>();
}

}  // namespace velquor
