// Table generation: the dialog's rules and the table writer.
#include "session/table_file.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "app/out_of_memory.h"
#include "data/curve_fit.h"
#include "data/text_format.h"
#include "fit/analysis.h"
#include "session/file_failure.h"
#include "session/manipulation.h"
#include "fit/model_desc.h"
#include "platform/profile_file.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

// The step's magnitude must reach the smallest normal float.
constexpr double kSmallestStep = 1.1754944e-38;

// Reads one field as a float; a number beyond the float range is no number
// for a table of floats, and is selected whole.
std::optional<datatype> ReadTableField(std::string_view text, std::size_t* badPosition) {
  std::optional<double> read = ReadNumberField(text, badPosition);
  if (read && !FitsDatatype(*read)) {
    *badPosition = 0;
    return std::nullopt;
  }
  if (!read) return std::nullopt;
  return static_cast<datatype>(*read);
}

// True when adding `step` moves every x of [start, end] (all of magnitude
// at most the larger end): half the spacing of the floats at that magnitude
// must be exceeded, or the sum rounds back to x.
bool StepMovesEveryX(datatype start, datatype end, datatype step) {
  const datatype largest = std::max(std::fabs(start), std::fabs(end));
  double spacing = double{std::nextafter(largest, INFINITY)} - largest;
  if (!std::isfinite(spacing)) spacing = 2.0 * (double{largest} - std::nextafter(largest, 0.0f));
  return 2.0 * std::fabs(double{step}) > spacing;
}

TableCheck Refuse(MessagePair warning) {
  TableCheck check;
  check.verdict = TableVerdict::Refused;
  check.warning = warning;
  return check;
}

}  // namespace

const std::vector<SeparatorChoice>& SeparatorChoices() {
  static const std::vector<SeparatorChoice> choices = {{"Tab", '\t'}, {"Space", ' '}, {"Comma", ','}};
  return choices;
}

TableOptions InitialTableOptions(datatype graphXMin, datatype graphXMax, datatype graphXStep) {
  TableOptions options;
  options.startX = graphXMin;
  options.endX = graphXMax;
  options.step = graphXStep;
  options.separator = '\t';
  return options;
}

std::string TableFieldText(datatype value) {
  std::string text;
  AppendFormat(text, "%g", static_cast<double>(value));
  return text;
}

TableCheck CheckTableFields(std::string_view start, std::string_view end, std::string_view step, char separator) {
  const std::pair<std::string_view, int> fields[] = {
      {start, kTableStartField}, {end, kTableEndField}, {step, kTableStepField}};
  datatype values[3] = {};
  for (int i = 0; i < 3; ++i) {
    std::size_t bad = 0;
    const std::optional<datatype> value = ReadTableField(fields[i].first, &bad);
    if (!value) {
      TableCheck check;
      check.verdict = TableVerdict::BadField;
      check.badField = fields[i].second;
      check.selectFrom = bad;
      return check;
    }
    values[i] = *value;
  }
  TableOptions options{values[0], values[1], values[2], separator};
  if (std::fabs(double{options.step}) < kSmallestStep) return Refuse(kTableZeroStep);
  const datatype span = options.endX - options.startX;
  const bool towardsEnd = (span < 0.0f && options.step < 0.0f) || (span > 0.0f && options.step > 0.0f);
  if (!towardsEnd) return Refuse(kTableStepWrongWay);
  if (!StepMovesEveryX(options.startX, options.endX, options.step)) return Refuse(kTableStepTooSmall);
  TableCheck check;
  check.verdict = TableVerdict::Accepted;
  check.options = options;
  return check;
}

TableCheck TableDialogOk(std::string_view start, std::string_view end, std::string_view step, char separator) {
  TableCheck check = CheckTableFields(start, end, step, separator);
  if (check.verdict == TableVerdict::BadField) platform::CurrentUi().Beep();
  if (check.warning) {
    platform::ResourceMessageBox(check.warning->caption, check.warning->text, platform::Icon::Error,
                                 platform::Buttons::Ok);
  }
  return check;
}


int WriteTable(CurveFit& doc, const std::string& path, int model, const TableOptions& options,
               std::string* error) {
  const Curve f = CurveOf(DescriptorOf(doc, model));
  const bool ascending = options.startX < options.endX;
  const char* marker = ascending ? "WriteTable_1" : "WriteTable_2";
  std::string text;
  datatype x = options.startX;
  while (ascending ? x <= options.endX : x >= options.endX) {
    AppendFormat(text, "%g%c", static_cast<double>(x), options.separator);
    text += CurveValueText(f, x, marker);
    text += '\n';
    // x is accumulated in single precision: the last line is the last sum
    // that does not pass the end.
    const datatype next = x + options.step;
    if (ascending ? !(next > x) : !(next < x)) return kTableStalled;
    x = next;
  }
  return platform::WriteFileAtomically(path, text, error) ? kTableWritten : kTableCannotWrite;
}

bool GenerateTableFile(CurveFit& doc, const std::string& path, int model, const TableOptions& options) {
  std::string error;
  const int written = WriteTable(doc, path, model, options, &error);
  if (written == kTableWritten) return true;
  if (written == kTableStalled) {
    platform::ResourceMessageBox(kTableStepTooSmall.caption, kTableStepTooSmall.text, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
    return false;
  }
  // A full disk, a folder in the way and a read-only folder each say so:
  // the file and the system's reason.
  ReportWriteFailure(kTableCannotWriteWhy.caption, kTableCannotWriteWhy.text, path, error);
  return false;
}

}  // namespace trendolin
