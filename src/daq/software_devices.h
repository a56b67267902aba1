// The A/D and DIO devices of a backend made in software (the simulated rig, a replay): the
// checks every read goes through, with only the source of codes and port bytes left to each.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "daq/driver.h"
#include "daq/encoder_ports.h"

namespace velquor {

class SoftwareDevices : public AcqDriver {
 public:
  static constexpr std::int32_t kAioId = 1;
  static constexpr std::int32_t kDioId = 2;

  // Any driver and group number opens the device.
  std::int32_t AioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) override;
  // Channels 0 and 1 exist; the request's channels are read in its order.
  std::int32_t AioInp(std::int32_t id, AioRequest& req) override;
  std::int32_t AioClose(std::int32_t id) override;
  std::int32_t DioOpen(std::int32_t& id, std::int16_t driver_no, std::int16_t group_no) override;
  // Only control word 9Bh on chip 0 (every port an input) is taken.
  std::int32_t Dio8255Mode(std::int32_t id, std::int16_t chip, std::int16_t control) override;
  // Ports 0..2 exist; the request's ports are read in its order.
  std::int32_t DioInp(std::int32_t id, DioRequest& req) override;
  std::int32_t DioClose(std::int32_t id) override;
  std::string LastError() const override { return last_error_; }

 protected:
  // `kind` names the devices in every reason: "simulated" gives "the simulated A/D device".
  explicit SoftwareDevices(std::string kind) : kind_(std::move(kind)) {}

  // The codes of channels 0 and 1 of the next A/D read, or a failure code given by Fail.
  virtual std::int32_t NextCodes(std::array<std::uint16_t, 2>& codes) = 0;
  // The bytes of ports 0..2 of the next DIO read, or a failure code given by Fail.
  virtual std::int32_t NextPorts(EncoderPortBytes& ports) = 0;

  std::int32_t Fail(std::int32_t code, std::string why);

 private:
  // The failure of an operation on a device that is not open under `id`, or kOk.
  std::int32_t CheckOpen(const char* op, bool open, std::int32_t id, std::int32_t want,
                         const char* device);
  static std::int32_t Open(std::int32_t& id, std::int32_t given, bool& open);
  std::int32_t Close(const char* op, std::int32_t id, std::int32_t want, bool& open,
                     const char* device);
  std::string Device(const char* device) const { return "the " + kind_ + " " + device; }

  std::string kind_;
  bool aio_open_ = false;
  bool dio_open_ = false;
  std::string last_error_;
};

}  // namespace velquor
