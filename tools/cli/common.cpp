// Settings, data loading and JSON helpers shared by the commands of trendolin-cli.
#include "cli/common.h"

#include <charconv>
#include <cstdlib>
#include <iostream>

#include "app/app_settings.h"
#include "app/command_line.h"
#include "data/data_file.h"
#include "data/data_file_flows.h"
#include "platform/headless_ui.h"
#include "platform/resource_strings.h"

namespace cli {

void LoadRunSettings(const GlobalOptions& global) {
  trendolin::Settings = trendolin::ReadAppSettings(SettingsFilePath(global));
  trendolin::ApplyLocaleSetting(trendolin::Settings.locale);
}

void AddImportOptions(CLI::App& command, ImportFlags& flags) {
  command.add_option("--first-column", flags.firstColumn, "First file column to read (from 1)");
  command.add_option("--columns", flags.columns, "Number of consecutive file columns to read");
  command.add_option("--generate-x", flags.generateX, "Generate x as START,STEP instead of reading it");
  command.add_flag("--uncertainty", flags.uncertainty, "The last column read holds the uncertainties");
}

std::optional<std::vector<std::string>> SplitList(const std::string& text, std::size_t count) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (parts.size() != count) return std::nullopt;
  return parts;
}

namespace {

// Plays the import dialog with the command's import options; refuses
// (printing the reason) when they are not consistent.
bool ApplyImportFlags(const ImportFlags& flags, trendolin::ImportOptions& options) {
  if (flags.firstColumn) options.firstColumn = *flags.firstColumn;
  if (flags.columns) options.columnsToRead = *flags.columns;
  options.uncertainty = flags.uncertainty;
  if (flags.generateX) {
    auto parts = SplitList(*flags.generateX, 2);
    char* end0 = nullptr;
    char* end1 = nullptr;
    double start = parts ? std::strtod((*parts)[0].c_str(), &end0) : 0;
    double step = parts ? std::strtod((*parts)[1].c_str(), &end1) : 0;
    if (!parts || (*parts)[0].empty() || *end0 != '\0' || (*parts)[1].empty() || *end1 != '\0') {
      std::cerr << "--generate-x needs START,STEP, two numbers separated by a comma\n";
      return false;
    }
    options.generateX = true;
    options.xStart = static_cast<trendolin::datatype>(start);
    options.xIncrement = static_cast<trendolin::datatype>(step);
  }
  trendolin::DeriveImportOptions(options);
  const int problem = trendolin::CheckImportOptions(options);
  if (problem != 0) {
    std::cerr << platform::ResourceString(110) << ": " << platform::ResourceString(problem) << '\n';
    return false;
  }
  return true;
}

}  // namespace

int LoadDataFile(trendolin::CurveFit& doc, const std::string& file, const ImportFlags& flags) {
  auto* ui = dynamic_cast<platform::HeadlessUi*>(&platform::CurrentUi());
  bool suppress = true;
  if (flags.Any() && ui) {
    // The import dialog is how a person picks columns: the run shows it to
    // the handler, whatever the stored setting says (never written back).
    trendolin::Settings.SetFlag(trendolin::kFlagShowFileImportDlg, true);
    trendolin::AutoOpenFlag = 0;
    suppress = false;
    ui->SetImportDialogHandler([flags](trendolin::ImportOptions& options) { return ApplyImportFlags(flags, options); });
  }
  const int loaded = trendolin::OpenDataFile(doc, file, false, false, suppress);
  if (ui) ui->SetImportDialogHandler(nullptr);
  return loaded == 1 ? kExitOk : kExitUsage;
}

nlohmann::json JsonFloat(trendolin::datatype value) {
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  if (ec != std::errc()) return nullptr;
  *end = '\0';
  return std::strtod(text, nullptr);
}

}  // namespace cli
