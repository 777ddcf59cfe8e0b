// The printer's description as the program shows it.
#include "graph/printer_facts.h"

#include <cstdio>

namespace trendolin {
namespace {

std::string Printf(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string OrientationText(int orientation) {
  switch (orientation) {
    case kOrientationPortrait: return "Portrait";
    case kOrientationLandscape: return "Landscape";
    default: return "Unknown";
  }
}

std::string ResolutionText(int quality) {
  if (quality > 0) {
    char text[32];
    std::snprintf(text, sizeof text, "%d dpi", quality);
    return text;
  }
  switch (quality) {
    case kQualityDraft: return "Draft";
    case kQualityLow: return "Low";
    case kQualityMedium: return "Medium";
    case kQualityHigh: return "High";
    default: return "Unknown";
  }
}

}  // namespace

PrinterTexts DescribePrinter(const std::optional<PrinterFacts>& printer) {
  PrinterTexts texts;
  if (!printer) {
    texts.name = kNoPrinterText;
    return texts;
  }
  texts.name = printer->name;
  texts.scale = Printf("%.2f", printer->scalePercent / 100.0);
  texts.orientation = OrientationText(printer->orientation);
  texts.paperSize = Printf("%.1f\"", printer->page.width) + " x " + Printf("%.1f\"", printer->page.height);
  texts.resolution = ResolutionText(printer->printQuality);
  return texts;
}

PrinterPage PageForMargins(const std::optional<PrinterFacts>& printer) {
  return printer ? printer->page : PrinterPage{};
}

}  // namespace trendolin
