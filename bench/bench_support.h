// What the benchmark programs share: a private working folder (every
// nonlinear fit writes "history.dmp" into the current one) and normal noise.
#pragma once

#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace benchsupport {

// Makes a fresh temporary folder the current one; goes back and removes it
// at the end of its scope.
class ScratchFolder {
 public:
  explicit ScratchFolder(const char* prefix = "trendolin-bench") {
    std::string tmpl = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
    folder_ = tmpl;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(folder_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  std::filesystem::path folder_;
  std::filesystem::path previous_;
};

// A standard normal sample from two 32-bit draws (Box-Muller), the same on
// every machine for the same engine and seed.
template <class Engine>
double NormalSample(Engine& engine) {
  const double u1 = (engine() + 1.0) / 4294967297.0;
  const double u2 = (engine() + 1.0) / 4294967297.0;
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
}

}  // namespace benchsupport
