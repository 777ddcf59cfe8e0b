// The export file: its layout, the panel's rules and the Export command's
// writing step.
#include "session/export_file.h"

#include <algorithm>
#include <array>

#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "data/text_format.h"
#include "fit/analysis.h"
#include "session/file_failure.h"
#include "session/table_file.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "fit/splines.h"
#include "platform/profile_file.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"

namespace trendolin {
namespace {

const char* WeightingSchemeName(int scheme) {
  switch (scheme) {
    case kWeightingY2: return "By Y^2";
    case kWeightingY: return "By Y";
    case kWeightingX2: return "By X^2";
    case kWeightingX: return "By X";
    case kWeightingUncertainty: return "By Uncertainty";
    case kWeightingNone: return "None";
    default: return "Unknown";
  }
}

char Letter(int i) { return static_cast<char>('a' + i); }

void AppendStatistics(std::string& out, const CurveFit& doc, const ModelDesc& desc, char s) {
  out += "\n";
  if (desc.kind == FIT_INTERPOLATION) {
    AppendFormat(out, "\"Standard Error:\"%c%cN/A\n", s, s);
    AppendFormat(out, "\"Correlation Coefficient:\"%c%cN/A\n", s, s);
  } else {
    const double error = desc.statistics ? desc.statistics[0] : 0.0;
    const double correlation = desc.statistics ? desc.statistics[1] : 0.0;
    AppendFormat(out, "\"Standard Error:\"%c%c%g\n", s, s, error);
    AppendFormat(out, "\"Correlation Coefficient:\"%c%c%g\n", s, s, correlation);
    if (desc.kind == FIT_LINEAR || desc.kind == FIT_NONLINEAR) {
      AppendFormat(out, "Weighting Scheme: %s\n", WeightingSchemeName(doc.FittedMark(desc.id)));
    }
  }
  const char* const labels[2][4] = {
      {"X Data Min:", "X Data Max:", "X Data Mean:", "X Data Standard Deviation:"},
      {"Y Data Min:", "Y Data Max:", "Y Data Mean:", "Y Data Standard Deviation:"}};
  for (std::size_t column = 0; column < 2; ++column) {
    const datatype values[4] = {doc.fMin[column], doc.fMax[column], doc.fMean[column], doc.fStdDev[column]};
    for (int k = 0; k < 4; ++k) {
      AppendFormat(out, "\n\"%s\"%c%c%g", labels[column][k], s, s, static_cast<double>(values[k]));
    }
  }
  out += "\n";
}

void AppendParameterLines(std::string& out, const datatype* values, int count, char s) {
  for (int i = 0; i < count && values; ++i) {
    AppendFormat(out, "\"%c:\"%c%.8E\n", Letter(i), s, static_cast<double>(values[i]));
  }
}

// The coefficients of spline piece i as the export form reads them: powers
// of x, highest first. The pieces are kept around their left knots and
// written out in powers of x here, in double, each rounded once.
std::array<datatype, 4> PieceInPowersOfX(const InterpResult& record, int model, datatype knot, int i) {
  const auto at = [&](int a) { return record.arrays[static_cast<std::size_t>(a)][static_cast<std::size_t>(i)]; };
  if (model == kLinearSplineModel) {
    const LinearPowers p = LinearInPowersOfX(at(0), at(1), knot);
    return {p.x1, p.x0, 0, 0};
  }
  if (model == kQuadraticSplineModel) {
    const QuadraticPowers p = QuadraticInPowersOfX(at(0), at(1), at(2), knot);
    return {p.x2, p.x1, p.x0, 0};
  }
  if (model == kCubicSplineModel) {
    const CubicPowers p = CubicInPowersOfX(at(0), at(1), at(2), at(3), knot);
    return {p.x3, p.x2, p.x1, p.x0};
  }
  return {};
}

// The pieces of a spline, one line per interval: its ends and its
// coefficients.
void AppendPieces(std::string& out, const CurveFit& doc, int model, char s) {
  const InterpResult& record = doc.Interp(model);
  const int n = std::min(doc.nPoints, record.arrayLength);
  const datatype* x = doc.Column(0);
  const datatype* knots = static_cast<int>(record.knots.size()) >= n ? record.knots.data() : x;
  for (int i = 0; i + 1 < n; ++i) {
    AppendFormat(out, "%.8E%c%.8E", static_cast<double>(x[i]), s, static_cast<double>(x[i + 1]));
    const std::array<datatype, 4> values = PieceInPowersOfX(record, model, knots[i], i);
    for (int a = 0; a < record.arrayCount; ++a) {
      AppendFormat(out, "%c%.8E", s, static_cast<double>(values[static_cast<std::size_t>(a)]));
    }
    out += "\n";
  }
}

void AppendInterpolationCoefficients(std::string& out, const CurveFit& doc, const ModelDesc& desc, char s) {
  const std::string prompt(platform::ResourceString(desc.id));
  switch (desc.id) {
    case kFirstInterpolation: {
      AppendFormat(out, "\"%s\"\n", prompt.c_str());
      out += "\"Form: y=a+b*x+c*x^2+d*x^3...\"\n";
      const InterpResult& record = doc.Interp(desc.id);
      AppendParameterLines(out, desc.coefficients, std::min(desc.m, record.arrayLength), s);
      break;
    }
    case kLinearSplineModel:
      AppendFormat(out, "\"%s\"\n", prompt.c_str());
      out += "\"Form: y=a*x+b  (piecewise)\"\n";
      AppendFormat(out, "\"Xstart\"%cXend%ca%cb\n", s, s, s);
      AppendPieces(out, doc, desc.id, s);
      break;
    case kQuadraticSplineModel:
      AppendFormat(out, "\"%s\"\n", prompt.c_str());
      out += "\"Form: y=a*x^2+b*x+c  (piecewise)\"\n";
      AppendFormat(out, "\"Xstart\"%c\"Xend\"%c\"a\"%c\"b\"%c\"c\"\n", s, s, s, s);
      AppendPieces(out, doc, desc.id, s);
      break;
    case kCubicSplineModel:
      AppendFormat(out, "\"%s\"\n", prompt.c_str());
      out += "\"Form: y=a*x^3+b*x^2+c*x+d  (piecewise)\"\n";
      AppendFormat(out, "\"Xstart\"%c\"Xend\"%c\"a\"%c\"b\"%c\"c\"%c\"d\"\n", s, s, s, s, s);
      AppendPieces(out, doc, desc.id, s);
      break;
    case kTensionSplineModel:
      AppendFormat(out, "\"%s\"\n", prompt.c_str());
      out += "\"Error:  No coefficient form for tension spline.\"";
      break;
    default: break;
  }
}

void AppendCoefficients(std::string& out, const CurveFit& doc, const ModelDesc& desc, char s) {
  out += "\n";
  if (desc.kind == FIT_INTERPOLATION) {
    AppendInterpolationCoefficients(out, doc, desc, s);
    return;
  }
  if (desc.id == kUserModel) {
    AppendFormat(out, "\"User Defined Model, %s\"\n", CurrentEngine().userModel.formula.c_str());
  } else {
    AppendFormat(out, "\"%s\"\n", std::string(platform::ResourceString(desc.id)).c_str());
  }
  AppendParameterLines(out, desc.coefficients, desc.m, s);
}

void AppendData(std::string& out, const CurveFit& doc, const ModelDesc& desc, char s) {
  const Curve f = CurveOf(desc);
  for (int i = 0; i < doc.nPoints; ++i) {
    const datatype x = doc.At(i, 0);
    AppendFormat(out, "%g%c%g%c", static_cast<double>(x), s, static_cast<double>(doc.At(i, 1)), s);
    out += CurveValueText(f, x, "WriteExportFile_1");
    out += "\n";
  }
}

}  // namespace

bool HasExportableResult(const CurveFit& doc, int model) {
  return model >= kFirstModelId && model < kFirstModelId + kModelCount && model != kPlotModel &&
         doc.IsFitted(model, -1);
}

ExportOptions InitialExportOptions(const CurveFit& doc) {
  ExportOptions options;
  options.model = HasExportableResult(doc, doc.nLastModel) ? doc.nLastModel : kNoExportModel;
  return options;
}

std::vector<ExportModelEntry> ExportModelMenu(const CurveFit& doc) {
  std::vector<ExportModelEntry> menu;
  for (int id = kFirstModelId; id < kFirstModelId + kModelCount; ++id) {
    if (HasExportableResult(doc, id)) menu.push_back({id, ModelLongName(id)});
  }
  return menu;
}

std::string ExportModelText(const CurveFit& doc, const ExportOptions& options) {
  if (ExportModelMenu(doc).empty()) return kNoFitsPerformed;
  if (!HasExportableResult(doc, options.model)) return {};
  return ModelLongName(options.model);
}

std::optional<MessagePair> CheckExportOptions(const CurveFit& doc, const ExportOptions& options) {
  if (!HasExportableResult(doc, options.model)) return kExportNoModel;
  return std::nullopt;
}

std::string FormatExportText(CurveFit& doc, const ExportOptions& options) {
  const ModelDesc desc = DescriptorOf(doc, options.model);
  const char s = options.separator;
  std::string out;
  AppendFormat(out, "\"%s:  %s\"\n", kAppCaption, desc.name.c_str());
  if (options.includeStatistics) AppendStatistics(out, doc, desc, s);
  if (options.includeCoefficients) AppendCoefficients(out, doc, desc, s);
  out += "\n";
  if (desc.kind == FIT_INTERPOLATION) {
    out += "\"NOTE:  For an interpolation type fit, each curve fit point\"\n";
    out += "\"will simply equal the data point.  You must generate a table in\"\n";
    out += "\"Trendolin to obtain values of the curvefit between data points.\"\n";
  }
  AppendFormat(out, "\"X Data\"%c\"Y Data\"%c\"Curve fit Data\"\n", s, s);
  AppendData(out, doc, desc, s);
  return out;
}

int WriteExportFile(CurveFit& doc, const std::string& path, const ExportOptions& options, std::string* error) {
  if (CheckExportOptions(doc, options)) return 0;
  return platform::WriteFileAtomically(path, FormatExportText(doc, options), error) ? 1 : 0;
}

ExportOutcome ExportToFile(CurveFit& doc, const std::string& path, const ExportOptions& options) {
  if (const std::optional<MessagePair> refused = CheckExportOptions(doc, options)) {
    platform::ResourceMessageBox(refused->caption, refused->text, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
    return ExportOutcome::NoModel;
  }
  std::string error;
  if (WriteExportFile(doc, path, options, &error) != 1) {
    ReportWriteFailure(kExportCannotWrite.caption, kExportCannotWrite.text, path, error);
    return ExportOutcome::CannotWrite;
  }
  return ExportOutcome::Written;
}

}  // namespace trendolin
