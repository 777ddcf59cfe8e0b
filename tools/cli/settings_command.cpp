// The `settings` command: the settings file and the value of every setting.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <iostream>

#include <nlohmann/json.hpp>

#include "app/app_settings.h"
#include "app/settings_location.h"
#include "cli/commands.h"
#include "platform/profile_file.h"

namespace cli {

std::string SettingsFilePath(const GlobalOptions& global) {
  const std::string folder = global.settingsDir.empty() ? trendolin::SettingsFolder() : global.settingsDir;
  return folder + "/" + trendolin::kSettingsFileName;
}

namespace {

struct SettingsOptions {
  bool json = false;
};

// Every setting with the text the settings file would hold for it, in the
// file's own order.
std::vector<std::pair<std::string, std::string>> SettingLines(const trendolin::AppSettings& settings) {
  platform::ProfileFile profile;
  trendolin::StoreAppSettings(settings, profile);
  std::vector<std::pair<std::string, std::string>> lines;
  for (const char* section : {trendolin::kSettingsSection, trendolin::kUserDefaultsSection}) {
    for (const std::string& key : profile.Keys(section)) lines.emplace_back(key, profile.GetString(section, key, ""));
  }
  lines.emplace_back("Locale", settings.locale);
  return lines;
}

int RunSettings(const GlobalOptions& global, const SettingsOptions& options) {
  const std::string path = SettingsFilePath(global);
  const bool exists = std::filesystem::exists(path);
  const trendolin::AppSettings settings = trendolin::ReadAppSettings(path);
  const auto lines = SettingLines(settings);
  if (options.json) {
    nlohmann::json out;
    out["file"] = path;
    out["exists"] = exists;
    nlohmann::json values = nlohmann::json::object();
    for (const auto& [key, value] : lines) values[key] = value;
    out["settings"] = values;
    std::cout << out.dump(2) << '\n';
    return kExitOk;
  }
  std::cout << "Settings file: " << path << (exists ? "" : " (not there: every setting has its default)") << '\n';
  for (const auto& [key, value] : lines) std::cout << "  " << key << " = " << value << '\n';
  return kExitOk;
}

}  // namespace

void AddSettingsCommand(CLI::App& app, const GlobalOptions& global, int& status) {
  auto options = std::make_shared<SettingsOptions>();
  CLI::App* command = app.add_subcommand("settings", "Show the settings file and the value of every setting");
  command->add_flag("--json", options->json, "Print one JSON object");
  command->callback([&global, &status, options] { status = RunSettings(global, *options); });
}

}  // namespace cli
