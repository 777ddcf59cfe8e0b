// The model information window's pages and clipboard reports: exact texts
// for a regression, a nonlinear fit with its histories, the interpolations
// and the user model, and the copy's limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "fit/engine_state.h"
#include "fit/fit_result.h"
#include "graph/fit_report.h"
#include "session/report_copy.h"
#include "platform/debug_log.h"
#include "platform/headless_ui.h"
#include "usermodel/user_model.h"
#include "session/user_model_dialog.h"

namespace trendolin {
namespace {

using platform::HeadlessUi;
using platform::UiEvent;

class FitReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitUserModel();
    SetConsoleSink([this](std::string_view text) { log_ += text; });
    DebugFlags = 2;
    testsupport::FillColumns(doc_, {0, 1, 2, 3}, {1, 3, 5, 8});
  }
  void TearDown() override {
    DebugFlags = 0;
    SetConsoleSink({});
    CurrentEngine().userModel.Release();
    InitUserModel();
  }

  void StoreLinear() {
    doc_.ResetFitResult(500);
    FitResult& slot = doc_.Slot(500);
    slot.coefficients = {1.0f, 2.0f};
    slot.statistics = {0.5f, 0.975f, 2.9f};
    slot.covariance = {0.25f, -0.125f, -0.125f, 0.0625f};
    slot.comment = "Linear regression completed successfully. ";
    doc_.MarkFitted(500, kWeightingNone);
  }
  // An exponential fit that took two iterations after its initial guesses.
  void StoreExponential() {
    doc_.ResetFitResult(504);
    FitResult& slot = doc_.Slot(504);
    slot.coefficients = {1.5f, 0.625f};
    slot.statistics = {0.125f, 0.99f, 2.9f};
    slot.iterationCount = 2;
    slot.chiSquareHistory = {4.5f, 0.75f, 0.5f};
    slot.parameterHistories = {{1.0f, 1.25f, 1.5f}, {0.5f, 0.5f, 0.625f}};
    doc_.MarkFitted(504, kWeightingNone);
  }
  void StoreSpline(int id, const std::string& comment) {
    doc_.ResetFitResult(id, doc_.nPoints);
    doc_.Interp(id).comment = comment;
    doc_.MarkFitted(id, 1);
  }
  std::vector<UiEvent> Boxes() const { return ui_.EventsOf(UiEvent::Kind::MessageBox); }

  HeadlessUi ui_;
  platform::ScopedUi installed_{ui_};
  CurveFit doc_;
  std::string log_;
};

TEST_F(FitReportTest, ARegressionsReportsAndPages) {
  StoreLinear();
  EXPECT_EQ(FitReport(doc_, 500, ReportPage::Coefficients),
            "Linear Fit:  y=a+bx\r\n"
            "Coefficient Data:\r\n"
            "a =\t1.00000000E+00\r\n"
            "b =\t2.00000000E+00\r\n");
  EXPECT_EQ(FitReport(doc_, 500, ReportPage::History),
            "Linear Fit:  y=a+bx\r\n"
            "Chi Square History:\r\nNo History Available.\r\n"
            "Parameter Histories:\r\nNo History Available.\r\n");
  EXPECT_EQ(FitReport(doc_, 500, ReportPage::Covariance),
            "Linear Fit:  y=a+bx\r\n"
            "Covariance Matrix:\r\n"
            "        0.25\t      -0.125\t\r\n"
            "      -0.125\t      0.0625\t\r\n");
  EXPECT_EQ(FitReport(doc_, 500, ReportPage::Residuals),
            "Linear Fit:  y=a+bx\r\n"
            "Residual Table:\r\n0\t0\r\n1\t0\r\n2\t0\r\n3\t1\r\n");
  EXPECT_EQ(FitReport(doc_, 500, ReportPage::Comments),
            "Linear Fit:  y=a+bx\r\n"
            "Standard Error:    0.5000000\r\n"
            "Correlation Coefficient:    0.9750000\r\n"
            "Comments:\r\n"
            "Linear regression completed successfully. \r\n");

  const ModelInfoTexts shown = BuildModelInfoTexts(doc_, 500);
  EXPECT_EQ(shown.formula, "Linear Fit");
  EXPECT_EQ(shown.coefficientRows, (std::vector<std::string>{"a =\t1.00000000E+00", "b =\t2.00000000E+00"}));
  EXPECT_EQ(shown.covarianceRows[1], "      -0.125\t      0.0625\t");
  EXPECT_EQ(shown.chiSquareRows, std::vector<std::string>{"Not Applicable"});
  EXPECT_TRUE(shown.parameterLetters.empty());
  EXPECT_EQ(ParameterHistoryRows(doc_, 500, 0), std::vector<std::string>{"Not Applicable"});
}

TEST_F(FitReportTest, ANonlinearFitShowsEveryRecordedIterationFromTheGuesses) {
  StoreExponential();
  EXPECT_EQ(FitReport(doc_, 504, ReportPage::History),
            "Exponential Fit: y=ae^(bx)\r\n"
            "Chi Square History:\r\n"
            "It 0:\t4.5\r\nIt 1:\t0.75\r\nIt 2:\t0.5\r\n"
            "Parameter Histories:\r\n"
            "Parameter History: a\r\n"
            "It 0:\t1.00000000E+00\r\nIt 1:\t1.25000000E+00\r\nIt 2:\t1.50000000E+00\r\n"
            "Parameter History: b\r\n"
            "It 0:\t5.00000000E-01\r\nIt 1:\t5.00000000E-01\r\nIt 2:\t6.25000000E-01\r\n");

  const ModelInfoTexts shown = BuildModelInfoTexts(doc_, 504);
  EXPECT_EQ(shown.chiSquareRows,
            (std::vector<std::string>{"It 0\tChiSq = 4.5", "It 1\tChiSq = 0.75", "It 2\tChiSq = 0.5"}));
  EXPECT_EQ(shown.parameterLetters, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(shown.secondChooserFilled);
  EXPECT_EQ(shown.secondChooserStart, 1);
  EXPECT_EQ(ParameterHistoryRows(doc_, 504, 1),
            (std::vector<std::string>{"It 0: 5.00000000E-01", "It 1: 5.00000000E-01", "It 2: 6.25000000E-01"}));
  EXPECT_EQ(shown.comments, "No comments are available at this time.");
}

TEST_F(FitReportTest, InterpolationsAreNotApplicableExceptPolynomialCoefficients) {
  StoreSpline(537, "Spline interpolation completed successfully.");
  const ModelInfoTexts shown = BuildModelInfoTexts(doc_, 537);
  EXPECT_EQ(shown.standardError, "   0.0000000");
  EXPECT_EQ(shown.correlation, "   1.0000000");
  EXPECT_EQ(shown.coefficientRows, std::vector<std::string>{"Not Applicable"});
  EXPECT_EQ(shown.covarianceRows, std::vector<std::string>{"Not Applicable"});
  EXPECT_EQ(shown.chiSquareRows, std::vector<std::string>{"Not Applicable"});
  EXPECT_EQ(FitReport(doc_, 537, ReportPage::Coefficients),
            "Cubic Spline\r\n"
            "Coefficient Data:\r\n"
            "Splines do not have a simple coefficient expansion.\r\n"
            "Use the File|Export command to obtained detailed information.\r\n");
  EXPECT_EQ(FitReport(doc_, 537, ReportPage::Covariance),
            "Cubic Spline\r\nCovariance Matrix:\r\nInterpolations do not have covariance matrices.\r\n");
  EXPECT_EQ(FitReport(doc_, 537, ReportPage::Comments),
            "Cubic Spline\r\n"
            "Standard Error:    0.0000000\r\n"
            "Correlation Coefficient:    1.0000000\r\n"
            "Comments:\r\n"
            "Spline interpolation completed successfully.  Since interpolations pass through each data point, "
            "the error is 0 and the corr. coeff. is 1.\r\n");

  StoreSpline(534, "");
  doc_.Interp(534).arrays[0] = {1, 2, 0, 0};
  EXPECT_EQ(FitReport(doc_, 534, ReportPage::Coefficients),
            "Polynomial Interpolation:  y=a+bx+cx^2+dx^3...\r\n"
            "Coefficient Data:\r\n"
            "a =\t1.00000000E+00\r\nb =\t2.00000000E+00\r\nc =\t0.00000000E+00\r\nd =\t0.00000000E+00\r\n");
  EXPECT_EQ(BuildModelInfoTexts(doc_, 534).comments,
            "No comments are available at this time.  Since interpolations pass through each data point, "
            "the error is 0 and the corr. coeff. is 1.");
}

TEST_F(FitReportTest, AOneParameterUserModelNamesItsFormulaAndSharesItsOnlyHistory) {
  ASSERT_FALSE(UserModelDialogOk("a*x"));
  CurrentEngine().userModel.Release();
  CurrentEngine().userModel.coefficients = {2.5f};
  CurrentEngine().userModel.iterationCount = 1;
  CurrentEngine().userModel.chiSquareHistory = {3.0f, 1.0f};
  CurrentEngine().userModel.parameterHistories = {{2.0f, 2.5f}};
  doc_.MarkFitted(kUserModel, kWeightingNone);

  EXPECT_EQ(FitReportHeader(doc_, kUserModel), "User Model: y=a*x\r\n");
  const ModelInfoTexts shown = BuildModelInfoTexts(doc_, kUserModel);
  EXPECT_FALSE(shown.secondChooserFilled);
  EXPECT_EQ(shown.firstChooserStart, 0);
  EXPECT_EQ(shown.secondChooserStart, 0) << "both history lists show parameter a";
  EXPECT_EQ(ParameterHistoryRows(doc_, kUserModel, shown.secondChooserStart),
            (std::vector<std::string>{"It 0: 2.00000000E+00", "It 1: 2.50000000E+00"}));
}

TEST_F(FitReportTest, AResidualTheModelCannotGiveIsErr) {
  // The logarithm a + b ln(x) has no value at x = 0.
  doc_.ResetFitResult(506);
  doc_.Slot(506).coefficients = {1.0f, 1.0f};
  doc_.MarkFitted(506, kWeightingNone);
  EXPECT_EQ(FitReport(doc_, 506, ReportPage::Residuals),
            "Logarithm Fit: y=a+b*ln(x)\r\n"
            "Residual Table:\r\n0\tERR\r\n1\t2\r\n2\t3.306852818\r\n3\t5.901387691\r\n");
  EXPECT_NE(log_.find("EX: FitReport_1\n"), std::string::npos);
}

TEST_F(FitReportTest, CopyingPutsTheReportOnTheClipboardWithinTheBuffer) {
  StoreLinear();
  ASSERT_TRUE(CopyFitReport(doc_, 500, ReportPage::Coefficients));
  EXPECT_EQ(ui_.Clipboard(), FitReport(doc_, 500, ReportPage::Coefficients));

  // About 3,000 residual rows pass the 65,500-byte buffer: nothing is copied.
  std::vector<float> x, y;
  for (int i = 0; i < 3000; ++i) {
    x.push_back(1000.125f + static_cast<float>(i));
    y.push_back(0.001f * static_cast<float>(i));
  }
  testsupport::FillColumns(doc_, x, y);
  StoreLinear();
  ASSERT_GT(FitReport(doc_, 500, ReportPage::Residuals).size(), kReportBufferSize);
  EXPECT_FALSE(CopyFitReport(doc_, 500, ReportPage::Residuals));
  EXPECT_EQ(ui_.Clipboard(), FitReport(doc_, 500, ReportPage::Coefficients)) << "the clipboard is unchanged";
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "Copy Report");
  EXPECT_EQ(Boxes()[0].icon, platform::Icon::Exclamation);
}

}  // namespace
}  // namespace trendolin
