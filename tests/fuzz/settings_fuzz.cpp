// libFuzzer target of the settings-file reader and writer: any bytes as a
// settings file must read without a crash or undefined behaviour, and
//  - the file the reader understood reads back the same once written out
//    (sections, keys and values), and writing it again changes nothing;
//  - the application settings read, written and read again agree (numbers
//    within the precision their formats keep), and a second round is exact;
//  - writing the settings into the file on disk keeps every other section
//    and reads back as the settings written.
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/app_settings.h"
#include "fuzz/fuzz_check.h"
#include "platform/profile_file.h"

namespace {

using platform::ProfileFile;
using trendolin::AppSettings;


bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// Every section, key and value of `a` reads the same from `b`.
bool SameEntries(const ProfileFile& a, const ProfileFile& b, std::string_view skipSection = {},
                 std::string_view skipSection2 = {}) {
  for (const std::string& section : a.SectionNames()) {
    if (SameName(section, skipSection) || SameName(section, skipSection2)) continue;
    if (!b.HasSection(section)) return false;
    for (const std::string& key : a.Keys(section)) {
      if (a.Get(section, key) != b.Get(section, key)) return false;
    }
  }
  return true;
}

bool Near(double a, double b, double absolute, double relative) {
  return std::fabs(a - b) <= absolute + relative * std::fabs(a);
}

// The settings agree, the numbers within what "%lg" (six significant digits)
// and "%lf" (six decimals) keep.
bool Agree(const AppSettings& a, const AppSettings& b) {
  AppSettings x = a;
  AppSettings y = b;
  if (!Near(x.nonlinearTolerance, y.nonlinearTolerance, 0, 1e-5)) return false;
  for (auto field : {&AppSettings::marginTop, &AppSettings::marginLeft, &AppSettings::marginRight,
                     &AppSettings::marginBottom}) {
    if (!Near(x.*field, y.*field, 1e-6, 1e-15)) return false;
    x.*field = y.*field;
  }
  x.nonlinearTolerance = y.nonlinearTolerance;
  return x == y;
}

std::string ScratchFile() {
  const char* dir = std::getenv("TMPDIR");
  std::string tmpl = std::string(dir && *dir ? dir : "/tmp") + "/settings-fuzz-XXXXXX";
  const int fd = ::mkstemp(tmpl.data());
  if (fd < 0) std::abort();
  ::close(fd);
  return tmpl;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const FuzzSession fresh;
  static const std::string path = ScratchFile();
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // The profile as understood survives being written out.
  const ProfileFile profile = ProfileFile::Parse(text);
  const std::string written = profile.ToText();
  const ProfileFile reread = ProfileFile::Parse(written);
  FUZZ_CHECK(SameEntries(profile, reread) && SameEntries(reread, profile));
  FUZZ_CHECK(reread.ToText() == written);

  // The application settings: read, write, read again.
  const AppSettings first = trendolin::ReadAppSettings(profile);
  ProfileFile updated = profile;
  trendolin::StoreAppSettings(first, updated);
  const ProfileFile updatedAgain = ProfileFile::Parse(updated.ToText());
  const AppSettings second = trendolin::ReadAppSettings(updatedAgain);
  FUZZ_CHECK(Agree(first, second));
  ProfileFile twice = updatedAgain;
  trendolin::StoreAppSettings(second, twice);
  FUZZ_CHECK(twice.ToText() == updatedAgain.ToText());
  FUZZ_CHECK(trendolin::ReadAppSettings(twice) == second);
  // Storing the settings touches their own two sections only.
  FUZZ_CHECK(SameEntries(profile, updatedAgain, trendolin::kSettingsSection, trendolin::kUserDefaultsSection));

  // The same through the file on disk.
  std::FILE* f = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(f != nullptr);
  if (size > 0) FUZZ_CHECK(std::fwrite(data, 1, size, f) == size);
  std::fclose(f);
  FUZZ_CHECK(trendolin::WriteAppSettings(first, path));
  const ProfileFile onDisk = ProfileFile::Load(path);
  FUZZ_CHECK(trendolin::ReadAppSettings(onDisk) == second);
  FUZZ_CHECK(SameEntries(profile, onDisk, trendolin::kSettingsSection, trendolin::kUserDefaultsSection));
  return 0;
}
