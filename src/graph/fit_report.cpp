// The model information window's pages and their clipboard reports.
#include "graph/fit_report.h"

#include <algorithm>
#include <cmath>

#include "data/curve_fit.h"
#include "data/text_format.h"
#include "fit/analysis.h"
#include "fit/engine_state.h"
#include "fit/fit_statistics.h"
#include "fit/model_desc.h"
#include "platform/resource_strings.h"

namespace trendolin {
namespace {

char Letter(int i) { return static_cast<char>('a' + i); }

bool IsInterpolation(const ModelDesc& desc) { return desc.kind == FIT_INTERPOLATION; }

// Polynomial interpolation has a coefficient expansion; the splines do not.
bool ShowsCoefficients(const ModelDesc& desc) {
  return !IsInterpolation(desc) || desc.id == kFirstInterpolation;
}

bool HasCovariance(const ModelDesc& desc) {
  return desc.classMask != CLASS_INTERPOLATION && desc.classMask != CLASS_NONE && desc.covariance != nullptr;
}


// The recorded iterations 0 .. iteration count, as far as the histories reach.
int RecordedIterations(const ModelDesc& desc) {
  if (desc.kind != FIT_NONLINEAR || !desc.chiSquareHistoryLocation) return 0;
  const auto length = static_cast<int>(desc.chiSquareHistoryLocation->size());
  return std::clamp(desc.iterationCount + 1, 0, length);
}

const std::vector<datatype>* ParameterHistory(const ModelDesc& desc, int parameter) {
  if (!desc.parameterHistoriesLocation || parameter < 0) return nullptr;
  const auto& histories = *desc.parameterHistoriesLocation;
  if (static_cast<std::size_t>(parameter) >= histories.size()) return nullptr;
  return &histories[static_cast<std::size_t>(parameter)];
}

std::string CovarianceRow(const ModelDesc& desc, int row) {
  std::string text;
  for (int j = 0; j < desc.m; ++j) {
    AppendFormat(text, "%12.8g\t", static_cast<double>(desc.covariance[row * desc.m + j]));
  }
  return text;
}

std::string CommentText(const CurveFit& doc, const ModelDesc& desc) {
  std::string comment = doc.GetFitComment(desc.id);
  if (comment.empty()) comment = kNoComments;
  if (IsInterpolation(desc)) comment += kInterpolationComment;
  return comment;
}

std::string CoefficientsReport(const ModelDesc& desc) {
  std::string out = "Coefficient Data:\r\n";
  if (!ShowsCoefficients(desc)) {
    out += "Splines do not have a simple coefficient expansion.\r\n";
    out += "Use the File|Export command to obtained detailed information.\r\n";
    return out;
  }
  for (int i = 0; i < StoredCoefficientCount(desc); ++i) {
    AppendFormat(out, "%c =\t%.8E\r\n", Letter(i), static_cast<double>(desc.coefficients[i]));
  }
  return out;
}

std::string HistoryReport(const ModelDesc& desc) {
  const bool nonlinear = desc.kind == FIT_NONLINEAR;
  const int iterations = RecordedIterations(desc);
  std::string out = "Chi Square History:\r\n";
  if (nonlinear) {
    for (int it = 0; it < iterations; ++it) {
      AppendFormat(out, "It %d:\t%g\r\n", it, static_cast<double>((*desc.chiSquareHistoryLocation)[static_cast<std::size_t>(it)]));
    }
  } else {
    out += "No History Available.\r\n";
  }
  out += "Parameter Histories:\r\n";
  if (!nonlinear) {
    out += "No History Available.\r\n";
    return out;
  }
  for (int p = 0; p < desc.m; ++p) {
    AppendFormat(out, "Parameter History: %c\r\n", Letter(p));
    const std::vector<datatype>* history = ParameterHistory(desc, p);
    const int rows = history ? std::min(iterations, static_cast<int>(history->size())) : 0;
    for (int it = 0; it < rows; ++it) {
      AppendFormat(out, "It %d:\t%.8E\r\n", it, static_cast<double>((*history)[static_cast<std::size_t>(it)]));
    }
  }
  return out;
}

std::string CovarianceReport(const ModelDesc& desc) {
  std::string out = "Covariance Matrix:\r\n";
  if (desc.classMask == CLASS_INTERPOLATION || desc.classMask == CLASS_NONE) {
    out += "Interpolations do not have covariance matrices.\r\n";
    return out;
  }
  if (!HasCovariance(desc)) return out;
  for (int i = 0; i < desc.m; ++i) out += CovarianceRow(desc, i) + "\r\n";
  return out;
}

std::string ResidualsReport(const CurveFit& doc, const ModelDesc& desc) {
  std::string out = "Residual Table:\r\n";
  const Curve f = CurveOf(desc);
  for (int i = 0; i < doc.nPoints; ++i) {
    const datatype x = doc.At(i, 0);
    const std::optional<datatype> fitted = GuardedCurveValue(f, x, "FitReport_1");
    if (fitted) {
      const datatype residual = doc.At(i, 1) - *fitted;
      AppendFormat(out, "%.10g\t%.10g\r\n", static_cast<double>(x), static_cast<double>(residual));
    } else {
      AppendFormat(out, "%.10g\tERR\r\n", static_cast<double>(x));
    }
  }
  return out;
}

std::string CommentsReport(CurveFit& doc, int model) {
  const ModelInfoTexts shown = BuildModelInfoTexts(doc, model);
  std::string out;
  out += "Standard Error: " + shown.standardError + "\r\n";
  out += "Correlation Coefficient: " + shown.correlation + "\r\n";
  out += "Comments:\r\n";
  out += shown.comments + "\r\n";
  return out;
}

// A statistic, or "N/A" when it cannot be had.
std::string StatisticText(const char* format, double value) {
  if (!std::isfinite(value)) return "N/A";
  std::string text;
  AppendFormat(text, format, value);
  return text;
}

std::string StatisticsReport(CurveFit& doc, const ModelDesc& desc) {
  std::string out = "Fit Statistics:\r\n";
  if (IsInterpolation(desc) || desc.classMask == CLASS_NONE) {
    out += "Interpolations do not have fit statistics.\r\n";
    return out;
  }
  const std::optional<FitStatistics> stats = ComputeFitStatistics(doc, desc.id);
  if (!stats) {
    out += "No Statistics Available.\r\n";
    return out;
  }
  out += "Parameter\tValue\tStandard Error\tt Value\t95% Lower\t95% Upper\r\n";
  for (const ParameterStatistics& p : stats->parameters) {
    out += p.name + "\t" + StatisticText("%.8E", p.value) + "\t" + StatisticText("%.8E", p.standardError) + "\t" +
           StatisticText("%.6g", p.t) + "\t" + StatisticText("%.8E", p.ciLow) + "\t" +
           StatisticText("%.8E", p.ciHigh) + "\r\n";
  }
  out += "R Squared:\t" + StatisticText("%.8g", stats->rSquared) + "\r\n";
  out += "Adjusted R Squared:\t" + StatisticText("%.8g", stats->adjustedRSquared) + "\r\n";
  out += "Sum of Squared Residuals:\t" + StatisticText("%.8g", stats->sse) + "\r\n";
  AppendFormat(out, "Degrees of Freedom:\t%d\r\n", stats->dof);
  out += "AICc:\t" + StatisticText("%.8g", stats->aicc) + "\r\n";
  out += "BIC:\t" + StatisticText("%.8g", stats->bic) + "\r\n";
  if (stats->weighted) out += "The sums are weighted as the fit weighted the points.\r\n";
  return out;
}

std::string Fixed127(double value) {
  std::string text;
  AppendFormat(text, "%12.7f", value);
  return text;
}

}  // namespace

ModelInfoTexts BuildModelInfoTexts(CurveFit& doc, int model) {
  const ModelDesc desc = DescriptorOf(doc, model);
  ModelInfoTexts texts;
  texts.formula = desc.name;

  if (IsInterpolation(desc)) {
    texts.standardError = Fixed127(0.0);
    texts.correlation = Fixed127(1.0);
  } else {
    texts.standardError = Fixed127(desc.statistics ? desc.statistics[0] : 0.0);
    texts.correlation = Fixed127(desc.statistics ? desc.statistics[1] : 0.0);
  }
  texts.comments = CommentText(doc, desc);

  if (ShowsCoefficients(desc)) {
    for (int i = 0; i < StoredCoefficientCount(desc); ++i) {
      std::string row;
      AppendFormat(row, "%c =\t%.8E", Letter(i), static_cast<double>(desc.coefficients[i]));
      texts.coefficientRows.push_back(row);
    }
  } else {
    texts.coefficientRows = {kNotApplicable};
  }

  if (HasCovariance(desc)) {
    for (int i = 0; i < desc.m; ++i) texts.covarianceRows.push_back(CovarianceRow(desc, i));
  } else {
    texts.covarianceRows = {kNotApplicable};
  }

  if (desc.kind == FIT_NONLINEAR) {
    const int iterations = RecordedIterations(desc);
    for (int it = 0; it < iterations; ++it) {
      std::string row;
      AppendFormat(row, "It %d\tChiSq = %g", it, static_cast<double>((*desc.chiSquareHistoryLocation)[static_cast<std::size_t>(it)]));
      texts.chiSquareRows.push_back(row);
    }
    for (int p = 0; p < desc.m; ++p) texts.parameterLetters.emplace_back(1, Letter(p));
    texts.secondChooserFilled = desc.m > 1;
    texts.secondChooserStart = desc.m > 1 ? 1 : 0;
  } else {
    texts.chiSquareRows = {kNotApplicable};
  }
  return texts;
}

std::vector<std::string> ParameterHistoryRows(CurveFit& doc, int model, int parameter) {
  const ModelDesc desc = DescriptorOf(doc, model);
  if (desc.kind != FIT_NONLINEAR) return {kNotApplicable};
  std::vector<std::string> rows;
  const std::vector<datatype>* history = ParameterHistory(desc, parameter);
  if (!history) return rows;
  const int count = std::min(RecordedIterations(desc), static_cast<int>(history->size()));
  for (int it = 0; it < count; ++it) {
    std::string row;
    AppendFormat(row, "It %d: %.8E", it, static_cast<double>((*history)[static_cast<std::size_t>(it)]));
    rows.push_back(row);
  }
  return rows;
}

std::string FitReportHeader(CurveFit& doc, int model) {
  const ModelDesc desc = DescriptorOf(doc, model);
  std::string formula;
  if (desc.id == kUserModel) {
    formula = ": y=" + CurrentEngine().userModel.formula;
  } else {
    const std::string prompt(platform::ResourceString(desc.id));
    const std::size_t comma = prompt.find(',');
    if (comma != std::string::npos) formula = ":" + prompt.substr(comma + 1);
  }
  return desc.name + formula + "\r\n";
}

std::string FitReport(CurveFit& doc, int model, ReportPage page) {
  const ModelDesc desc = DescriptorOf(doc, model);
  std::string out = FitReportHeader(doc, model);
  switch (page) {
    case ReportPage::Coefficients: out += CoefficientsReport(desc); break;
    case ReportPage::History: out += HistoryReport(desc); break;
    case ReportPage::Covariance: out += CovarianceReport(desc); break;
    case ReportPage::Residuals: out += ResidualsReport(doc, desc); break;
    case ReportPage::Comments: out += CommentsReport(doc, model); break;
    case ReportPage::Statistics: out += StatisticsReport(doc, desc); break;
  }
  return out;
}

std::optional<ReportPage> ReportPageNamed(const std::string& name) {
  if (name == "coefficients") return ReportPage::Coefficients;
  if (name == "history") return ReportPage::History;
  if (name == "covariance") return ReportPage::Covariance;
  if (name == "residuals") return ReportPage::Residuals;
  if (name == "comments") return ReportPage::Comments;
  if (name == "statistics") return ReportPage::Statistics;
  return std::nullopt;
}


}  // namespace trendolin
