// The user model: its record, its catalogue entry, its fit with the retry
// pattern, its place in the search, and the user model dialog's rules.
#include "usermodel/user_model.h"
#include "session/user_model_routine.h"
#include "session/fit_routine_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/error_handle.h"
#include "fit/point_parts.h"
#include "fit/drivers_test_support.h"
#include "fit/fit_routines.h"
#include "fit/model_desc.h"
#include "platform/debug_log.h"
#include "platform/resource_strings.h"
#include "session/session.h"
#include "support/temp_dir.h"
#include "usermodel/expression_reader.h"
#include "usermodel/interpreter.h"
#include "session/user_model_dialog.h"

namespace trendolin {
namespace {

using platform::UiEvent;
using testing_support::DriverTest;

class UserModelTest : public DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    InitUserModel();
    SetConsoleSink([this](std::string_view text) { log_ += text; });
    DebugFlags = 2;
  }
  void TearDown() override {
    DebugFlags = 0;
    SetConsoleSink({});
    InitUserModel();
    DriverTest::TearDown();
  }

  // The initial-guess dialog accepts `guesses` once and cancels after that.
  void AnswerGuessesOnce(std::vector<float> guesses) {
    ui_.SetGuessDialogHandler([this, guesses](int id, int m, float* g) {
      shown_.push_back(std::vector<float>(g, g + m));
      EXPECT_EQ(id, kUserModel);
      if (shown_.size() > 1) return false;
      for (int i = 0; i < m && i < static_cast<int>(guesses.size()); ++i) g[i] = guesses[static_cast<std::size_t>(i)];
      return true;
    });
  }
  bool Logged(const std::string& text) const { return log_.find(text) != std::string::npos; }

  testsupport::TempDir dir_;
  testsupport::ScopedCurrentDir cwd_{dir_.Path()};  // the fit writes history.dmp here
  std::string log_;
  std::vector<std::vector<float>> shown_;  // the guesses each dialog showed
};

TEST_F(UserModelTest, SetFormulaStoresLowerCaseAndStartsEveryParameterAtOne) {
  EXPECT_EQ(CurrentEngine().userModel.formula, "a+b*x") << "the formula the program starts with";
  EXPECT_EQ(CurrentEngine().userModel.count, 2);

  UserFitResult record;
  EXPECT_EQ(SetUserFormula(record, "A*EXP(-B*X)+C"), 0);
  EXPECT_EQ(record.formula, "a*exp(-b*x)+c");
  EXPECT_EQ(record.count, 3);
  EXPECT_EQ(record.coefficients, std::vector<float>(3, 1.0f));
  EXPECT_EQ(record.covariance.size(), 9u);

  record.fittedWith = 460;
  record.comment = "old";
  EXPECT_EQ(SetUserFormula(record, "x^2"), 1) << "no parameter";
  EXPECT_EQ(record.count, 0);
  EXPECT_EQ(record.fittedWith, 0) << "an old result does not survive a new formula";
  EXPECT_EQ(record.comment, "");
}

TEST_F(UserModelTest, CheckFormulaRefusesWhatCannotBeEvaluated) {
  UserFitResult record;
  SetUserFormula(record, "a/0+sqrt(-b)");
  EXPECT_EQ(CheckUserFormula(record), 0) << "checking does no arithmetic";
  SetUserFormula(record, "a*x+c");
  EXPECT_EQ(CheckUserFormula(record), 1);
  EXPECT_TRUE(Logged("EX: InterpretMain_1\nEX: FillUserModels_1\n")) << log_;
}

TEST_F(UserModelTest, DialogOkAcceptsOnlyUsableFormulas) {
  for (const char* refused : {"x^2", "a*x+c", "b*x", "sin x", "", "a*foo"}) {
    EXPECT_EQ(UserModelDialogOk(refused), kUserFormulaRefused) << refused;
    EXPECT_EQ(CurrentEngine().userModel.formula, "a+b*x") << "the current model is unchanged";
  }
  CurrentEngine().userModel.coefficients = {3, 4};
  EXPECT_EQ(UserModelDialogOk("a*EXP(b*x)"), std::nullopt);
  EXPECT_EQ(CurrentEngine().userModel.formula, "a*exp(b*x)");
  EXPECT_EQ(CurrentEngine().userModel.coefficients, std::vector<float>(2, 1.0f));
  EXPECT_EQ(UserModelDialogOk("a+b*x" + std::string(5000, ' ') + "+c"), std::nullopt)
      << "read up to 4096 characters";
}

// Parentheses nested past what the reader takes are refused with a message
// of their own that states the limit; one level less is a formula like any
// other, and an error met before the depth keeps the general message.
TEST_F(UserModelTest, DialogOkTellsAFormulaNestedTooDeeply) {
  const auto nested = [](int depth, const std::string& open, const std::string& inner) {
    std::string text = "a*";
    for (int i = 0; i < depth; ++i) text += open;
    return text + inner + std::string(static_cast<std::size_t>(depth), ')');
  };
  EXPECT_EQ(UserModelDialogOk(nested(kMaxFormulaNesting, "(", "x")), std::nullopt);
  EXPECT_EQ(UserModelDialogOk(nested(kMaxFormulaNesting + 1, "(", "x")), kUserFormulaTooDeep);
  EXPECT_EQ(UserModelDialogOk(nested(kMaxFormulaNesting + 1, "sin(", "b*x")), kUserFormulaTooDeep);
  EXPECT_EQ(CheckFormulaField(nested(3000, "(", "x")), kUserFormulaTooDeep);
  EXPECT_EQ(UserModelDialogOk("foo+" + nested(3000, "(", "x")), kUserFormulaRefused) << "the first error tells";
  EXPECT_EQ(UserModelDialogOk(nested(3, "(", "x+c")), kUserFormulaRefused);

  EXPECT_EQ(kUserFormulaTooDeep.caption, kUserFormulaRefused.caption);
  const std::string text(platform::ResourceString(kUserFormulaTooDeep.text));
  EXPECT_NE(text.find("nested too deeply"), std::string::npos) << text;
  EXPECT_NE(text.find(" " + std::to_string(kMaxFormulaNesting) + " levels"), std::string::npos)
      << "the limit the message states is the reader's: " << text;
}

TEST_F(UserModelTest, CatalogueEntryEvaluatesTheFormula) {
  AcceptUserFormula("a*x^b");
  EXPECT_EQ(FitRoutineOf(kUserModel), &UserFit);
  const ModelDesc desc = DescriptorOf(doc_, kUserModel);
  EXPECT_EQ(desc.kind, FIT_NONLINEAR);
  EXPECT_EQ(desc.classMask, CLASS_USER);
  EXPECT_EQ(desc.m, 2);
  const float p[] = {2, 3};
  EXPECT_EQ(desc.modelFunction(p, 2), 16);
  CurrentEngine().userModel.coefficients = {3, 2};
  EXPECT_EQ(desc.Evaluate(2), 12) << "evaluate uses the record's coefficients";
  float guesses[kGuessVectorSize] = {};
  desc.initialGuess(doc_, guesses);
  EXPECT_EQ(guesses[0], 1);
  EXPECT_EQ(guesses[1], 1);
  EXPECT_EQ(guesses[2], 0) << "only the model's parameters";
}

// ---- the fit ----

TEST_F(UserModelTest, FitRecoversTheParametersOfSyntheticData) {
  Load([](double x) { return 3 * std::exp(-0.7 * x) + 0.5; }, 0, 6, 40);
  AcceptUserFormula("a*exp(-b*x)+c");
  AnswerGuessesOnce({2, 1, 0});
  ASSERT_EQ(UserFit(doc_, kUserModel), 0);
  ASSERT_EQ(shown_.size(), 1u) << "the dialog is shown even with AutoGuess on";
  EXPECT_EQ(shown_[0], std::vector<float>(3, 1.0f)) << "pre-filled with 1.0";
  EXPECT_NEAR(CurrentEngine().userModel.coefficients[0], 3, 1e-3);
  EXPECT_NEAR(CurrentEngine().userModel.coefficients[1], 0.7, 1e-3);
  EXPECT_NEAR(CurrentEngine().userModel.coefficients[2], 0.5, 1e-3);
  EXPECT_EQ(CurrentEngine().userModel.fittedWith, CurrentSession().settings.weighting);
  EXPECT_TRUE(doc_.IsFitted(kUserModel, -1));
  EXPECT_LT(CurrentEngine().userModel.statistics[0], 1e-3) << "CalcStat ran";
  EXPECT_NE(CurrentEngine().userModel.comment.find("The fit converged"), std::string::npos);
  EXPECT_FALSE(CurrentEngine().userModel.chiSquareHistory.empty());
}

// A step model whose switch point is the data's mean x: the fit finds the
// mean y on each side.
TEST_F(UserModelTest, PiecewiseModelFitsTheMeanOfEachSide) {
  LoadPoints({1, 2, 3, 4, 5, 6}, {1, 2, 3, 2, 3, 4});
  doc_.CalcDataStats();
  AcceptUserFormula("(x<avgx)*a+(x>=avgx)*b");
  AnswerGuessesOnce({});
  ASSERT_EQ(UserFit(doc_, kUserModel), 0);
  EXPECT_NEAR(CurrentEngine().userModel.coefficients[0], 2, 1e-3);
  EXPECT_NEAR(CurrentEngine().userModel.coefficients[1], 3, 1e-3);
}

TEST_F(UserModelTest, FaultingFitIsReportedAndAskedAgainUntilCancelled) {
  Load([](double x) { return x; }, 1, 5, 10);
  AcceptUserFormula("log(a-x)*b");
  AnswerGuessesOnce({});  // a = 1 takes the log of 0, and of less while the derivatives move a
  EXPECT_EQ(UserFit(doc_, kUserModel), 1);
  EXPECT_EQ(shown_.size(), 2u) << "the dialog came back after the report";
  const std::vector<UiEvent> reports = ui_.EventsOf(UiEvent::Kind::ErrorReport);
  ASSERT_EQ(reports.size(), 1u);
  ErrorRecord expected;
  expected.id = kErrDomain;
  expected.FitId = kUserModel;
  expected.routine = "log";
  EXPECT_EQ(reports[0].text, ErrorMessage(expected));
  EXPECT_TRUE(Logged("EX: ::UserFit_1\n"));
  EXPECT_FALSE(doc_.IsFitted(kUserModel, -1));
  EXPECT_EQ(CurrentEngine().calcMode, 0);
}

TEST_F(UserModelTest, SyntaxErrorDuringTheFitIsReportedWithTheModel) {
  Load([](double x) { return x; }, 1, 5, 10);
  SetUserFormula(CurrentEngine().userModel, "a*x+c");  // bypassing the dialog's check
  AnswerGuessesOnce({});
  EXPECT_EQ(UserFit(doc_, kUserModel), 1);
  const std::vector<UiEvent> reports = ui_.EventsOf(UiEvent::Kind::ErrorReport);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, std::string(platform::ResourceString(28)));
  EXPECT_EQ(ErrorInfo.id, kErrGuessCancelled) << "then the dialog was cancelled";
}

TEST_F(UserModelTest, UnattendedFitFailsQuietlyWithoutDialog) {
  Load([](double x) { return x; }, 1, 5, 10);
  AcceptUserFormula("log(a-x)*b");
  CurrentEngine().unattended = 1;
  AnswerGuessesOnce({});
  EXPECT_EQ(UserFit(doc_, kUserModel), 1);
  EXPECT_TRUE(shown_.empty());
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::ErrorReport).empty());
  EXPECT_EQ(ErrorInfo.id, kErrSuppressed);
  EXPECT_EQ(ErrorInfo.FitId, kUserModel);
}

TEST_F(UserModelTest, FitAfterClearCurvefitsAllocatesAgain) {
  Load([](double x) { return 1 + 2 * x; }, 0, 5, 10);
  CurrentEngine().userModel.Release();  // what Clear Curvefits leaves
  AnswerGuessesOnce({});
  ASSERT_EQ(UserFit(doc_, kUserModel), 0);
  EXPECT_NEAR(CurrentEngine().userModel.coefficients[0], 1, 1e-4);
  EXPECT_NEAR(CurrentEngine().userModel.coefficients[1], 2, 1e-4);
}

TEST_F(UserModelTest, SearchOfTheUserGroupFitsTheUserModel) {
  Load([](double x) { return 2 * std::exp(0.3 * x); }, 0, 5, 20);
  AcceptUserFormula("a*exp(b*x)");
  EXPECT_EQ(FitHunterSearch(doc_, 3, CLASS_USER), kUserModel);
  EXPECT_TRUE(shown_.empty()) << "no dialog in a search";
  EXPECT_NEAR(CurrentEngine().userModel.coefficients[1], 0.3, 1e-3);
  EXPECT_EQ(CurrentSession().modelDialogs.userModel, 0) << "its command opens the window without the dialog";
}

// ---- on every core ----

// The user model's points are evaluated on several threads once there are
// many of them. Run by MarqLev with the model's id and with an id the passes
// keep on one thread (0), the fit must be the same bit for bit: every
// point's value and derivatives computed by the parsed formula alone, the
// sums in point order. A data-set figure in the formula is read on every
// thread too.
TEST_F(UserModelTest, FitOnEveryCoreEqualsTheFitOnOneBitForBit) {
  Load([](double x) { return 2 * std::exp(0.5 * x); }, 0, 4, 100000, 0.01);
  AcceptUserFormula("a*exp(b*(x-avgx))");
  CurrentEngine().userModelData = SummaryOf(doc_);
  const std::vector<float> start = {1.5f, 0.4f};
  auto fit = [&](int modelId, unsigned flags) {
    std::vector<float> parameters(2);
    NonlinearProblem problem;
    problem.m = 2;
    problem.parameters = parameters.data();
    problem.initial = start.data();
    problem.modelFunction = DescriptorOf(doc_, kUserModel).modelFunction;
    problem.tolerance = 1e-6f;
    problem.flags = flags;
    problem.maxIterations = flags & kNlQuickDerivatives ? 20 : 2;
    problem.divergeLimit = 10;
    problem.nPoints = doc_.nPoints;
    problem.x = doc_.Column(0);
    problem.y = doc_.Column(1);
    problem.notify = [](NonlinearProblem&, int) { return 0; };
    problem.modelId = modelId;
    EXPECT_GE(MarqLev(problem), 0);
    problem.chiSquareHistory.push_back(problem.chiSquare);
    problem.chiSquareHistory.insert(problem.chiSquareHistory.end(), parameters.begin(), parameters.end());
    return problem.chiSquareHistory;
  };
  if (PointPartCount() < 2) std::printf("one core: both fits run on one thread\n");
  for (unsigned flags : {kNlQuickDerivatives | kNlNoWeighting, kNlQuickDerivatives | kNlWeightY, kNlNoWeighting}) {
    SCOPED_TRACE(flags);
    const std::vector<float> several = fit(kUserModel, flags);
    const std::vector<float> one = fit(0, flags);
    ASSERT_EQ(several.size(), one.size());
    EXPECT_EQ(std::memcmp(several.data(), one.data(), several.size() * sizeof(float)), 0)
        << "chi-square history, final chi-square and coefficients";
  }
}

// Faults at two points of 10^5, far apart (on different threads when there
// are several): the one first in point order is reported, with the same
// text and the same log as when the few points are fitted on one thread.
TEST_F(UserModelTest, TheFirstFaultInPointOrderIsReportedAsOnOneThread) {
  AcceptUserFormula("a+b/x+sqrt(x)");
  auto run = [&](int points, float early, float late) {
    std::vector<float> x, y;
    for (int k = 0; k < points; ++k) {
      x.push_back(1 + static_cast<float>(k % 100) / 100);
      y.push_back(3);
    }
    const std::size_t at[] = {x.size() * 3 / 10, x.size() * 8 / 10};
    x.insert(x.begin() + static_cast<std::ptrdiff_t>(at[1]), late);
    x.insert(x.begin() + static_cast<std::ptrdiff_t>(at[0]), early);
    y.resize(x.size(), 3);
    LoadPoints(x, y);
    shown_.clear();
    log_.clear();
    ui_.ClearEvents();
    AnswerGuessesOnce({});
    EXPECT_EQ(UserFit(doc_, kUserModel), 1);
    const std::vector<UiEvent> reports = ui_.EventsOf(UiEvent::Kind::ErrorReport);
    std::string outcome = reports.size() == 1 ? reports[0].text : "reports: " + std::to_string(reports.size());
    std::istringstream lines(log_);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("EX: ", 0) == 0 || line.find("_matherr") != std::string::npos) outcome += "\n" + line;
    }
    return outcome;
  };
  ErrorRecord domain;
  domain.id = kErrDomain;
  domain.FitId = kUserModel;
  domain.routine = "sqrt";
  ErrorRecord division;
  division.id = kErrDivideByZero;
  division.FitId = kUserModel;
  division.routine = "unknown";
  for (const auto& [early, late, expected] : {std::tuple{-1.0f, 0.0f, ErrorMessage(domain)},
                                              std::tuple{0.0f, -1.0f, ErrorMessage(division)}}) {
    const std::string alone = run(10, early, late);
    EXPECT_EQ(alone.rfind(expected + "\n", 0), 0u) << alone;
    EXPECT_EQ(run(100000, early, late), alone);
    // Once for the starting chi-square (whose fault MarqLev passes over) and
    // once for the matrix pass: the runs that find faults on the threads log
    // nothing.
    std::size_t markers = 0;
    for (std::size_t at = alone.find("EX: InterpretMain_1"); at != std::string::npos;
         at = alone.find("EX: InterpretMain_1", at + 1)) {
      ++markers;
    }
    EXPECT_EQ(markers, 2u) << alone;
  }
}

// The record keeps its own parsed formula: formulas the dialog checks in
// between, enough to push the model's out of the interpreter's cache, do
// not change what the model gives; a count set by hand is followed.
TEST_F(UserModelTest, OtherFormulasInBetweenLeaveTheModelItsOwn) {
  ASSERT_TRUE(AcceptUserFormula("a*x^b"));
  const ModelFunction f = DescriptorOf(doc_, kUserModel).modelFunction;
  const float p[] = {2, 3};
  for (int i = 0; i < 20; ++i) {
    const std::string other = "a-b*x+" + std::to_string(i);
    EXPECT_EQ(CheckFormulaField(other), std::nullopt);
    EXPECT_EQ(f(p, 2), 16) << other;
    EXPECT_EQ(InterpretFormula(other, 2, p, 2, CurrentEngine().userModelData), static_cast<float>(i - 4));
  }
  EXPECT_EQ(f(p, 2), 16);
  CurrentEngine().userModel.count = 1;
  EXPECT_THROW(f(p, 2), errnotify) << "b is no parameter of a one-parameter model";
  EXPECT_EQ(ErrorInfo.id, kErrExpression);
  CurrentEngine().userModel.count = 2;
  EXPECT_EQ(f(p, 2), 16);
}

// ---- the dialog ----

TEST_F(UserModelTest, OpeningTheDialogMarksTheFitNotCurrent) {
  testsupport::TempDir settings;
  testsupport::WriteFile(settings.File("REVUZI.INI"), "[User Models]\nNumber=2\nModel0=Decay,a*EXP(-b*x)\n");
  CurrentEngine().userModel.fittedWith = 460;
  const UserModelDialogOpening opening = OpenUserModelDialog(settings.File("REVUZI.INI"));
  EXPECT_EQ(opening.formula, "a+b*x");
  EXPECT_EQ(CurrentEngine().userModel.fittedWith, 0);
  ASSERT_EQ(opening.library.size(), 2u);
  EXPECT_EQ(opening.library[0].name, "Decay");
  EXPECT_EQ(FormulaOfEntry(opening.library, 0), "a*EXP(-b*x)") << "as typed";
  EXPECT_EQ(opening.library[1].name, "Error") << "a missing key";
  EXPECT_EQ(CheckFormulaField(FormulaOfEntry(opening.library, 1)), kUserFormulaRefused);
}

}  // namespace
}  // namespace trendolin
