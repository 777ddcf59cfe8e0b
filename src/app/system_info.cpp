// The machine description written to the diagnostic log.
#include "app/system_info.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <ctime>
#include <fstream>
#include <set>
#include <sstream>

#include "app/settings_location.h"
#include "platform/debug_log.h"
#include "session/session.h"

namespace trendolin {
namespace {

constexpr int kMaxLibraries = 14;

std::string ExecutablePath() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "unknown";
  return std::string(buffer, static_cast<std::size_t>(n));
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Two version texts of a file: the version in its name ("6.0.30" of
// "libstdc++.so.6.0.30") and the date it was built or installed.
std::pair<std::string, std::string> FileVersions(const std::string& path) {
  std::string name = BaseName(path);
  std::string version = "-";
  std::size_t so = name.find(".so.");
  if (so != std::string::npos) version = name.substr(so + 4);
  std::string date = "-";
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    char text[32];
    std::tm tm {};
    ::gmtime_r(&st.st_mtime, &tm);
    std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
    date = text;
  }
  return {version, date};
}

std::vector<std::string> LoadedLibraries() {
  std::vector<std::string> libraries;
  std::set<std::string> seen;
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line) && static_cast<int>(libraries.size()) < kMaxLibraries) {
    std::size_t slash = line.find('/');
    if (slash == std::string::npos) continue;
    std::string path = line.substr(slash);
    if (path.find(".so") == std::string::npos || !seen.insert(path).second) continue;
    libraries.push_back(path);
  }
  return libraries;
}

std::string CpuModel() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("model name", 0) == 0) {
      std::size_t colon = line.find(':');
      if (colon != std::string::npos) return line.substr(colon + 2);
    }
  }
  return "unknown";
}

std::string Architecture(const std::string& machine) {
  if (machine == "x86_64" || machine == "i686" || machine == "i386") return "Intel";
  if (machine.rfind("mips", 0) == 0) return "Mips";
  if (machine == "alpha") return "Alpha";
  if (machine.rfind("ppc", 0) == 0) return "Power PC";
  return "Unknown";
}

void WriteMemory() {
  struct sysinfo info {};
  if (::sysinfo(&info) != 0) return;
  const unsigned long long unit = info.mem_unit ? info.mem_unit : 1;
  auto kb = [unit](unsigned long long amount) { return static_cast<long>(amount * unit / 1024); };
  long load = info.totalram ? static_cast<long>(100 - (100 * info.freeram) / info.totalram) : 0;
  DebugLogF("Memory Load -- %ld%%\n", load);
  DebugLogF("Total Physical Memory -- %ld\n", kb(info.totalram));
  DebugLogF("Available Physical Memory -- %ld\n", kb(info.freeram));
  DebugLogF("Total Swap Memory -- %ld\n", kb(info.totalswap));
  DebugLogF("Available Swap Memory -- %ld\n", kb(info.freeswap));
  DebugLogF("Total Virtual Memory -- %ld\n", kb(info.totalram + info.totalswap));
  DebugLogF("Available Virtual Memory -- %ld\n", kb(info.freeram + info.freeswap));
}

void WriteProcesses() {
  DebugLog("Attempting to Enumerate Tasks/Processes:\n");
  DIR* proc = ::opendir("/proc");
  if (!proc) return;
  while (dirent* entry = ::readdir(proc)) {
    if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0]))) continue;
    std::ifstream comm(std::string("/proc/") + entry->d_name + "/comm");
    std::string name;
    if (std::getline(comm, name)) DebugLogF("\t%s\n", name.c_str());
  }
  ::closedir(proc);
}

}  // namespace

void WriteSystemInfoDump(const std::vector<StructureSize>& structures) {
  if ((DebugFlags & 0x21) == 0) return;
  DebugLogF("The debug file is %s\n", DiagnosticsFileName().c_str());

  DebugLog("Distribution file information:\n");
  const std::string exe = ExecutablePath();
  DebugLogF("\t%s: %s | %s\n", BaseName(exe).c_str(), "1.4", FileVersions(exe).second.c_str());
  for (const std::string& library : LoadedLibraries()) {
    auto [version, date] = FileVersions(library);
    DebugLogF("\t%s: %s | %s\n", BaseName(library).c_str(), version.c_str(), date.c_str());
  }

  struct utsname uts {};
  ::uname(&uts);
  DebugLogF("%s chip architecture.\n", Architecture(uts.machine).c_str());
  DebugLogF("%s Processor.\n", CpuModel().c_str());
  DebugLogF("%sCoprocessor Detected.\n", "");  // every processor Linux runs this on has one
  WriteMemory();
  WriteProcesses();

  DebugLogF("System Directory: %s\n", "/usr/lib");
  DebugLogF("Operating System: %s %s\n", uts.sysname, uts.release);
  DebugLogF("Trendolin filename: %s\n", exe.c_str());
  DebugLog(std::string(60, '=') + "\n");

  DebugLog("Trendolin globals initialized to:\n");
  DebugLogF("\t%s:\t%s\n", "lpszHelpFile", CurrentSession().helpFile.c_str());
  DebugLogF("\t%s:\t%s\n", "lpszHtmlHelpFile", CurrentSession().htmlHelpFile.c_str());
  DebugLogF("\t%s:\t%s\n", "lpszIniFile", CurrentSession().iniFile.c_str());
  DebugLogF("\t%s:\t%s\n", "szGrfWindow", "TRDL_GrfWnd");

  DebugLog("Sizes of Important Structures:\n");
  for (const StructureSize& s : structures) DebugLogF("\t%s:\t%d\n", s.name.c_str(), static_cast<int>(s.bytes));
}

}  // namespace trendolin
