// A driver for tests: records every call and gives scripted codes and raw values.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "daq/driver.h"

namespace velquor::testing {

class ScriptedDriver : public AcqDriver {
 public:
  std::vector<std::string> calls;
  std::int32_t open_code = 0, mode_code = 0, read_code = 0, close_code = 0;
  int good_reads = -1;  // samples (analog and port read) that succeed before read_code applies
  std::array<std::uint16_t, 2> codes{2048, 2048};  // raw analog codes handed out
  std::array<std::uint8_t, 3> ports{};             // raw port bytes handed out
  // Per-read values, taken in order when present.
  std::deque<std::array<std::uint16_t, 2>> code_script;
  std::deque<std::array<std::uint8_t, 3>> port_script;
  std::string last_error = "scripted failure";
  AnalogReference reference = AnalogReference::kGround;  // as last set

  std::string Describe() const override { return "scripted"; }
  void SetAnalogReference(AnalogReference r) override { reference = r; }
  std::int32_t AioOpen(std::int32_t& id, std::int16_t d, std::int16_t g) override {
    calls.push_back("AioOpen " + std::to_string(d) + " " + std::to_string(g));
    id = 11;
    return open_code;
  }
  std::int32_t AioInp(std::int32_t id, AioRequest& req) override {
    calls.push_back("AioInp " + std::to_string(id));
    if (!req.Built()) return daq_code::kRequestNotBuilt;
    if (!code_script.empty()) {
      codes = code_script.front();
      code_script.pop_front();
    }
    *req.AiData = codes;
    return good_reads > 0 ? daq_code::kOk : read_code;
  }
  std::int32_t AioClose(std::int32_t id) override {
    calls.push_back("AioClose " + std::to_string(id));
    return close_code;
  }
  std::int32_t DioOpen(std::int32_t& id, std::int16_t d, std::int16_t g) override {
    calls.push_back("DioOpen " + std::to_string(d) + " " + std::to_string(g));
    id = 22;
    return open_code;
  }
  std::int32_t Dio8255Mode(std::int32_t id, std::int16_t chip, std::int16_t control) override {
    calls.push_back("Dio8255Mode " + std::to_string(id) + " " + std::to_string(chip) + " " +
                    std::to_string(control));
    return mode_code;
  }
  std::int32_t DioInp(std::int32_t id, DioRequest& req) override {
    calls.push_back("DioInp " + std::to_string(id));
    if (!req.Built()) return daq_code::kRequestNotBuilt;
    if (!port_script.empty()) {
      ports = port_script.front();
      port_script.pop_front();
    }
    *req.DioData = ports;
    if (good_reads > 0) {
      --good_reads;
      return daq_code::kOk;
    }
    return read_code;
  }
  std::int32_t DioClose(std::int32_t id) override {
    calls.push_back("DioClose " + std::to_string(id));
    return close_code;
  }
  std::string LastError() const override { return last_error; }
};

}  // namespace velquor::testing
