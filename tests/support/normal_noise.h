// Standard normal numbers from the fully specified mt19937 (Box-Muller), so
// that noisy test data are the same with every standard library.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>

namespace testsupport {

class Noise {
 public:
  explicit Noise(std::uint32_t seed) : engine_(seed) {}
  double Next() {
    const double u1 = (engine_() + 1.0) / 4294967297.0;
    const double u2 = (engine_() + 1.0) / 4294967297.0;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }

 private:
  std::mt19937 engine_;
};

}  // namespace testsupport
