#include "daq/comedi_backend.h"

#include <comedilib.h>

#include <cstddef>
#include <vector>

namespace velquor {
namespace {

class ComediLibrary : public ComediSeam {
 public:
  ComediLibrary() = default;
  ComediLibrary(const ComediLibrary&) = delete;
  ComediLibrary& operator=(const ComediLibrary&) = delete;
  ~ComediLibrary() override {
    for (comedi_t* dev : devices_) {
      if (dev != nullptr) comedi_close(dev);
    }
  }

  int Open(const std::string& path) override {
    bad_handle_ = false;
    comedi_t* dev = comedi_open(path.c_str());
    if (dev == nullptr) return -1;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
      if (devices_[i] == nullptr) {
        devices_[i] = dev;
        return static_cast<int>(i);
      }
    }
    devices_.push_back(dev);
    return static_cast<int>(devices_.size() - 1);
  }

  int Close(int handle) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr) return -1;
    devices_[static_cast<std::size_t>(handle)] = nullptr;
    return comedi_close(dev);
  }

  int SubdeviceCount(int handle) override {
    comedi_t* dev = At(handle);
    return dev == nullptr ? -1 : comedi_get_n_subdevices(dev);
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

  int ChannelCount(int handle, int subdev) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return -1;
    return comedi_get_n_channels(dev, static_cast<unsigned>(subdev));
  }

  int RangeCount(int handle, int subdev, int chan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0) return -1;
    return comedi_get_n_ranges(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan));
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

  std::uint32_t MaxData(int handle, int subdev, int chan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0) return 0;
    return comedi_get_maxdata(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan));
  }

  int DataRead(int handle, int subdev, int chan, int range, std::uint32_t& data) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0 || range < 0) return -1;
    lsampl_t sample = 0;
    const int got =
        comedi_data_read(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan),
                         static_cast<unsigned>(range), AREF_GROUND, &sample);
    data = sample;
    return got;
  }

  int DioConfigInput(int handle, int subdev, int chan) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0 || chan < 0) return -1;
    return comedi_dio_config(dev, static_cast<unsigned>(subdev), static_cast<unsigned>(chan),
                             COMEDI_INPUT);
  }

  int DioReadBits(int handle, int subdev, std::uint32_t& bits) override {
    comedi_t* dev = At(handle);
    if (dev == nullptr || subdev < 0) return -1;
    unsigned int value = 0;
    const int result = comedi_dio_bitfield2(dev, static_cast<unsigned>(subdev), 0, &value, 0);
    bits = value;
    return result;
  }

  ComediFailure LastFailure() override {
    if (bad_handle_) {
      bad_handle_ = false;
      return {0, "no such open device"};
    }
    const int number = comedi_errno();
    const char* text = comedi_strerror(number);
    return {number, text != nullptr ? text : ""};
  }

 private:
  // The open device behind a handle, or nullptr (and the next failure says so).
  comedi_t* At(int handle) {
    const bool known = handle >= 0 && static_cast<std::size_t>(handle) < devices_.size() &&
                       devices_[static_cast<std::size_t>(handle)] != nullptr;
    bad_handle_ = !known;
    return known ? devices_[static_cast<std::size_t>(handle)] : nullptr;
  }

  std::vector<comedi_t*> devices_;
  bool bad_handle_ = false;
};

}  // namespace

std::unique_ptr<ComediSeam> MakeComediLibrary() {
  return std::make_unique<ComediLibrary>();
}

}  // namespace velquor
