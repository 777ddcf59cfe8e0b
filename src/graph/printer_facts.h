// What the program tells about the chosen printer (the Options dialog's
// printing page, About) and the page geometry its margins are checked
// against, as plain values the printing layer fills in.
#pragma once

#include <optional>
#include <string>

namespace trendolin {

inline constexpr const char* kNoPrinterText = "No printer installed.";

// Print quality when no resolution in dots per inch is known.
inline constexpr int kQualityDraft = -1;
inline constexpr int kQualityLow = -2;
inline constexpr int kQualityMedium = -3;
inline constexpr int kQualityHigh = -4;

inline constexpr int kOrientationPortrait = 1;
inline constexpr int kOrientationLandscape = 2;

// The sheet and where the printer can mark on it, in inches.
struct PrinterPage {
  double width = 8.5;
  double height = 11.0;
  double offsetX = 0.0;
  double offsetY = 0.0;
};

struct PrinterFacts {
  std::string name;
  int scalePercent = 100;
  int orientation = kOrientationPortrait;  // kOrientation*, anything else is unknown
  int printQuality = 0;                    // dots per inch when positive, else kQuality*
  PrinterPage page;
};

// The five read-only texts of the printing page: the printer's name, the
// scale, the orientation, the paper size and the resolution. With no printer
// the name reads "No printer installed." and the others are empty.
struct PrinterTexts {
  std::string name;
  std::string scale;
  std::string orientation;
  std::string paperSize;
  std::string resolution;
};

PrinterTexts DescribePrinter(const std::optional<PrinterFacts>& printer);

// The page the margins must fit: the printer's, or a letter sheet with no
// offsets when there is no printer to ask.
PrinterPage PageForMargins(const std::optional<PrinterFacts>& printer);

}  // namespace trendolin
