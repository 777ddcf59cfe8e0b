// The verdict of a stored fit, read from the message the fit itself stored:
// only an iterative fit that stopped short of converging counts as not
// converged.
#include "fit/fit_verdict.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fit/drivers_test_support.h"
#include "session/interpolation_drivers.h"
#include "fit/linear_fits.h"
#include "session/nonlinear_routine.h"
#include "session/regression_routines.h"
#include "session/session.h"

namespace trendolin {
namespace {

using testing_support::DriverTest;

class FitVerdictTest : public DriverTest {};

TEST_F(FitVerdictTest, OnlyAnIterativeFitThatStoppedShortIsNotConverged) {
  Load([](double x) { return 2 * std::exp(0.5 * x); }, 0, 4, 20, 0.01);
  ASSERT_EQ(NonlinearPrepareFit(doc_, 504), 0);
  EXPECT_EQ(StoredFitVerdict(doc_, 504), FitVerdict::Converged);
  ASSERT_EQ(LinearFit(doc_, 500), 0);
  EXPECT_EQ(StoredFitVerdict(doc_, 500), FitVerdict::NotIterative);
  ASSERT_EQ(SplineFit(doc_, 537), 0);
  EXPECT_TRUE(FitConverged(doc_, 537));
  EXPECT_TRUE(FitConverged(doc_, 509)) << "a model never fitted";
  EXPECT_TRUE(NotConvergedReason(FitVerdict::Converged).empty());

  // Noise-free data end at the resolution of single precision.
  Load([](double x) { return 2 * std::exp(0.5 * x); }, 0, 4, 20);
  CurrentSession().settings.nonlinearTolerance = 0;
  ASSERT_EQ(NonlinearPrepareFit(doc_, 504), 0);
  ASSERT_NE(doc_.GetFitComment(504).find("resolution of single precision"), std::string::npos);
  EXPECT_TRUE(FitConverged(doc_, 504));

  CurrentSession().settings.maxIterations = 1;
  ASSERT_EQ(NonlinearPrepareFit(doc_, 522), 0);
  EXPECT_EQ(StoredFitVerdict(doc_, 522), FitVerdict::IterationLimit);
  EXPECT_FALSE(FitConverged(doc_, 522));
  EXPECT_EQ(NotConvergedReason(FitVerdict::IterationLimit), "the iteration limit was reached");

  CurrentSession().settings.maxIterations = 100;
  StopAtFirstPump(kStopAccept);
  ASSERT_EQ(NonlinearPrepareFit(doc_, 522), 0);
  EXPECT_EQ(StoredFitVerdict(doc_, 522), FitVerdict::Stopped);
  EXPECT_FALSE(FitConverged(doc_, 522));
}

}  // namespace
}  // namespace trendolin
