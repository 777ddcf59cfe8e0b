// Export files and tables: their layouts line by line, the rules of both
// panels, "ERR" for a point the model cannot take, and writes that never
// leave a half-written file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "session/export_file.h"
#include "session/table_file.h"
#include "fit/model_desc.h"
#include "platform/debug_log.h"
#include "platform/headless_ui.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using platform::HeadlessUi;
using platform::UiEvent;
using testsupport::ReadFile;

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetConsoleSink([this](std::string_view text) { log_ += text; });
    DebugFlags = 2;
    testsupport::FillColumns(doc_, {0, 1, 2, 3}, {1, 3, 5, 8});
  }
  void TearDown() override {
    DebugFlags = 0;
    SetConsoleSink({});
  }

  // A stored result of model `id` as its fit routine would leave it.
  void StoreRegression(int id, const std::vector<float>& coefficients, float error, float correlation,
                       int scheme) {
    doc_.ResetFitResult(id);
    FitResult& slot = doc_.Slot(id);
    slot.coefficients = coefficients;
    slot.statistics = {error, correlation, 2.9f};
    doc_.MarkFitted(id, scheme);
  }
  // An interpolation record over the document's points.
  void StoreInterpolation(int id, const std::vector<std::vector<float>>& arrays) {
    doc_.ResetFitResult(id, doc_.nPoints);
    for (std::size_t a = 0; a < arrays.size(); ++a) doc_.Interp(id).arrays[a] = arrays[a];
    doc_.MarkFitted(id, 1);
  }
  std::vector<UiEvent> Boxes() const { return ui_.EventsOf(UiEvent::Kind::MessageBox); }

  testsupport::TempDir dir_;
  HeadlessUi ui_;
  platform::ScopedUi installed_{ui_};
  CurveFit doc_;
  std::string log_;
};

// ---- export layouts ----

TEST_F(ExportTest, LinearFitWithCommasHasEveryLineOfTheLayout) {
  StoreRegression(500, {1.0f, 2.0f}, 0.5f, 0.975f, kWeightingNone);
  ExportOptions options = InitialExportOptions(doc_);
  ASSERT_EQ(options.model, 500) << "the most recently fitted model is chosen";
  options.separator = ',';
  EXPECT_EQ(FormatExportText(doc_, options),
            "\"Trendolin 1.4:  Linear Fit\"\n"
            "\n"
            "\"Standard Error:\",,0.5\n"
            "\"Correlation Coefficient:\",,0.975\n"
            "Weighting Scheme: None\n"
            "\n"
            "\"X Data Min:\",,0\n"
            "\"X Data Max:\",,3\n"
            "\"X Data Mean:\",,1.5\n"
            "\"X Data Standard Deviation:\",,1.29099\n"
            "\"Y Data Min:\",,1\n"
            "\"Y Data Max:\",,8\n"
            "\"Y Data Mean:\",,4.25\n"
            "\"Y Data Standard Deviation:\",,2.98608\n"
            "\n"
            "\"Linear Regression,  y=a+bx\"\n"
            "\"a:\",1.00000000E+00\n"
            "\"b:\",2.00000000E+00\n"
            "\n"
            "\"X Data\",\"Y Data\",\"Curve fit Data\"\n"
            "0,1,1\n"
            "1,3,3\n"
            "2,5,5\n"
            "3,8,7\n");
}

TEST_F(ExportTest, OptionsLeaveOutBlocksAndTheWeightingLineNamesTheFitsScheme) {
  StoreRegression(504, {2.0f, 0.5f}, 0.25f, 0.99f, kWeightingY2);
  ExportOptions options{504, 0, 1, ' '};
  std::string text = FormatExportText(doc_, options);
  EXPECT_NE(text.find("\"Correlation Coefficient:\"  0.99\nWeighting Scheme: By Y^2\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("\"a:\""), std::string::npos) << "no coefficients";

  options = {504, 1, 0, '\t'};
  text = FormatExportText(doc_, options);
  EXPECT_EQ(text.rfind("\"Trendolin 1.4:  Exponential Fit\"\n"
                       "\n"
                       "\"Exponential Function, y=ae^(bx)\"\n"
                       "\"a:\"\t2.00000000E+00\n",
                       0),
            0u)
      << text;
  EXPECT_EQ(text.find("Standard Error"), std::string::npos) << "no statistics";

}

TEST_F(ExportTest, InterpolationsShowNotApplicableTheirPiecesAndTheNotes) {
  // Linear spline pieces of the four points as the record keeps them: the
  // slope and the value at the left knot. The export writes y = a x + b.
  StoreInterpolation(535, {{2, 2, 3, 0}, {1, 3, 5, 0}});
  const std::string text = FormatExportText(doc_, {535, 1, 1, '\t'});
  EXPECT_NE(text.find("\n\n\"Standard Error:\"\t\tN/A\n\"Correlation Coefficient:\"\t\tN/A\n\n\"X Data Min:\""),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("Weighting"), std::string::npos);
  EXPECT_NE(text.find("\"Linear Spline Interpolation\"\n"
                      "\"Form: y=a*x+b  (piecewise)\"\n"
                      "\"Xstart\"\tXend\ta\tb\n"
                      "0.00000000E+00\t1.00000000E+00\t2.00000000E+00\t1.00000000E+00\n"
                      "1.00000000E+00\t2.00000000E+00\t2.00000000E+00\t1.00000000E+00\n"
                      "2.00000000E+00\t3.00000000E+00\t3.00000000E+00\t-1.00000000E+00\n"
                      "\n"
                      "\"NOTE:  For an interpolation type fit, each curve fit point\"\n"
                      "\"will simply equal the data point.  You must generate a table in\"\n"
                      "\"Trendolin to obtain values of the curvefit between data points.\"\n"
                      "\"X Data\"\t\"Y Data\"\t\"Curve fit Data\"\n"
                      "0\t1\t1\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.substr(text.size() - 6), "3\t8\t8\n");

  // Cubic pieces around their left knots: 1 + 2(x - 0), 1 + 2(x - 1) and
  // (x - 2)^3, written out in powers of x.
  StoreInterpolation(537, {{0, 0, 1, 0}, {0, 0, 0, 0}, {2, 2, 0, 0}, {1, 1, 0, 0}});
  EXPECT_NE(FormatExportText(doc_, {537, 1, 0, ','})
                .find("\"Form: y=a*x^3+b*x^2+c*x+d  (piecewise)\"\n"
                      "\"Xstart\",\"Xend\",\"a\",\"b\",\"c\",\"d\"\n"
                      "0.00000000E+00,1.00000000E+00,0.00000000E+00,0.00000000E+00,2.00000000E+00,1.00000000E+00\n"
                      "1.00000000E+00,2.00000000E+00,0.00000000E+00,0.00000000E+00,2.00000000E+00,-1.00000000E+00\n"
                      "2.00000000E+00,3.00000000E+00,1.00000000E+00,-6.00000000E+00,1.20000000E+01,-8.00000000E+00\n"),
            std::string::npos);
  // The quadratic piece 2(x - 1)^2 + 1 - (x - 1) of the second interval.
  StoreInterpolation(536, {{0, 2, 0, 0}, {0, -1, 0, 0}, {0, 1, 0, 0}});
  EXPECT_NE(FormatExportText(doc_, {536, 1, 0, ','})
                .find("1.00000000E+00,2.00000000E+00,2.00000000E+00,-5.00000000E+00,4.00000000E+00\n"),
            std::string::npos);

  StoreInterpolation(538, {{0, 0, 0, 0}});
  EXPECT_NE(FormatExportText(doc_, {538, 1, 0, ','})
                .find("\"Tension Spline Model\"\n\"Error:  No coefficient form for tension spline.\"\n\"NOTE:"),
            std::string::npos)
      << "the error line has no line break of its own: the blank line after the block ends it";

  StoreInterpolation(534, {{1, 2, 0, 0}});
  EXPECT_NE(FormatExportText(doc_, {534, 1, 0, ','})
                .find("\"Form: y=a+b*x+c*x^2+d*x^3...\"\n\"a:\",1.00000000E+00\n\"b:\",2.00000000E+00\n"
                      "\"c:\",0.00000000E+00\n\"d:\",0.00000000E+00\n\n"),
            std::string::npos)
      << "one coefficient per data point";
}

TEST_F(ExportTest, APointTheModelCannotTakeIsWrittenAsErrAndTheExportGoesOn) {
  // The logarithm a + b ln(x) fails at x = 0 only.
  StoreRegression(506, {1.0f, 1.0f}, 0.1f, 0.9f, kWeightingNone);
  const std::string text = FormatExportText(doc_, {506, 0, 0, ','});
  EXPECT_EQ(text.substr(text.find("\"Curve fit Data\"\n")),
            "\"Curve fit Data\"\n0,1,ERR\n1,3,1\n2,5,1.69315\n3,8,2.09861\n");
  EXPECT_NE(log_.find("EX: WriteExportFile_1\n"), std::string::npos);
}

// ---- the export panel ----

TEST_F(ExportTest, ThePanelOffersOnlyModelsWithAResult) {
  EXPECT_EQ(InitialExportOptions(doc_).model, kNoExportModel);
  EXPECT_TRUE(ExportModelMenu(doc_).empty());
  EXPECT_EQ(ExportModelText(doc_, InitialExportOptions(doc_)), "No curve fits performed.");
  EXPECT_EQ(ExportToFile(doc_, dir_.File("out.txt"), InitialExportOptions(doc_)), ExportOutcome::NoModel);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "Export");
  EXPECT_FALSE(std::filesystem::exists(dir_.File("out.txt")));

  doc_.MarkFitted(503, -1);  // the data plot keeps a mark but no result
  StoreRegression(509, {1.0f, 1.0f}, 0.1f, 0.9f, kWeightingX);
  StoreInterpolation(537, {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}});
  StoreRegression(500, {1.0f, 2.0f}, 0.5f, 0.9f, kWeightingX);
  const std::vector<ExportModelEntry> menu = ExportModelMenu(doc_);
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_EQ(menu[0].model, 500);
  EXPECT_EQ(menu[0].name, "Linear Regression");
  EXPECT_EQ(menu[1].model, 509);
  EXPECT_EQ(menu[2].name, "Cubic Spline Interpolation");
  EXPECT_EQ(ExportModelText(doc_, {537, 1, 1, '\t'}), "Cubic Spline Interpolation");

  // A most recently fitted model whose result is gone is not chosen.
  doc_.nLastModel = 505;
  EXPECT_EQ(InitialExportOptions(doc_).model, kNoExportModel);
  EXPECT_EQ(CheckExportOptions(doc_, {505, 1, 1, '\t'}), kExportNoModel);
  EXPECT_EQ(CheckExportOptions(doc_, {kNoExportModel, 1, 1, '\t'}), kExportNoModel);
  EXPECT_FALSE(CheckExportOptions(doc_, {509, 1, 1, '\t'}));
}

TEST_F(ExportTest, FailedWritesKeepWhatIsThereAndAreReported) {
  StoreRegression(500, {1.0f, 2.0f}, 0.5f, 0.9f, kWeightingNone);
  const std::string path = dir_.File("out.txt");
  ASSERT_EQ(ExportToFile(doc_, path, {500, 1, 1, '\t'}), ExportOutcome::Written);
  EXPECT_EQ(ReadFile(path).substr(0, 28), "\"Trendolin 1.4:  Linear Fit\"");

  // A folder of that name cannot be replaced by the finished file.
  const std::string blocked = dir_.File("blocked.txt");
  std::filesystem::create_directory(blocked);
  testsupport::WriteFile(blocked + "/kept", "kept\n");
  EXPECT_EQ(ExportToFile(doc_, blocked, {500, 1, 1, '\t'}), ExportOutcome::CannotWrite);
  EXPECT_EQ(ReadFile(blocked + "/kept"), "kept\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 2) << "no temporary file left";
  EXPECT_FALSE(GenerateTableFile(doc_, dir_.File("missing/t.tab"), 500, {0.0f, 1.0f, 0.5f, '\t'}));
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].caption, "Export");
  EXPECT_NE(Boxes()[0].text.find("could not be written"), std::string::npos);
  EXPECT_EQ(Boxes()[1].caption, "Table File");
}

// Each failed write names the file and the system's reason, not a guess: a
// folder in the way is no full disk, and a full disk is no bad file name.
TEST_F(ExportTest, FailedWritesNameTheFileAndTheSystemsReason) {
  StoreRegression(500, {1.0f, 2.0f}, 0.5f, 0.9f, kWeightingNone);
  const std::string folder = dir_.File("folder.txt");
  std::filesystem::create_directory(folder);
  EXPECT_EQ(ExportToFile(doc_, folder, {500, 1, 1, '\t'}), ExportOutcome::CannotWrite);
  EXPECT_FALSE(GenerateTableFile(doc_, folder, 500, {0.0f, 1.0f, 0.5f, '\t'}));
  EXPECT_FALSE(GenerateTableFile(doc_, dir_.File("missing/t.tab"), 500, {0.0f, 1.0f, 0.5f, '\t'}));
  // A device is written in place: /dev/full takes nothing, as a full disk.
  EXPECT_FALSE(GenerateTableFile(doc_, "/dev/full", 500, {0.0f, 1.0f, 0.5f, '\t'}));
  const std::vector<UiEvent> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].caption, "Export");
  EXPECT_EQ(boxes[0].text, "The export file could not be written.\n\n" + folder +
                               ": Is a directory\n\nAny file of that name was left as it was.");
  EXPECT_EQ(boxes[1].caption, "Table File");
  EXPECT_EQ(boxes[1].text, "The table file could not be written.\n\n" + folder +
                               ": Is a directory\n\nAny file of that name was left as it was.");
  EXPECT_NE(boxes[2].text.find(dir_.File("missing") + ": No such file or directory"), std::string::npos)
      << boxes[2].text;
  EXPECT_NE(boxes[3].text.find("/dev/full: No space left on device"), std::string::npos) << boxes[3].text;
  for (const UiEvent& box : boxes) EXPECT_EQ(box.text.find("disk has room"), std::string::npos) << box.text;
}

// ---- tables ----

TEST_F(ExportTest, TableFieldsAreCheckedAsThePanelDoes) {
  struct Case {
    const char* start;
    const char* end;
    const char* step;
    TableVerdict verdict;
    std::optional<MessagePair> warning;
    int badField;
    std::size_t selectFrom;
    const char* why;
  };
  const Case cases[] = {
      {"0", "1", "0.25", TableVerdict::Accepted, std::nullopt, 0, 0, "ascending"},
      {"1", "0", "-0.25", TableVerdict::Accepted, std::nullopt, 0, 0, "descending with a negative step"},
      {"1", "0", "0.25", TableVerdict::Refused, kTableStepWrongWay, 0, 0, "a positive step from 1 to 0"},
      {"0", "1", "-1", TableVerdict::Refused, kTableStepWrongWay, 0, 0, "a negative step upwards"},
      {"2", "2", "1", TableVerdict::Refused, kTableStepWrongWay, 0, 0, "start equals end"},
      {"0", "1", "0", TableVerdict::Refused, kTableZeroStep, 0, 0, "zero step"},
      {"0", "1", "1e-39", TableVerdict::Refused, kTableZeroStep, 0, 0, "below the smallest normal float"},
      {"1e7", "1.6e7", "0.5", TableVerdict::Refused, kTableStepTooSmall, 0, 0, "x + step rounds back to x"},
      {"1e7", "1.6e7", "1", TableVerdict::Accepted, std::nullopt, 0, 0, "a step of one float spacing"},
      {"1e7", "2e7", "1", TableVerdict::Refused, kTableStepTooSmall, 0, 0, "half the spacing above 2^24"},
      {"0", "1x", "1", TableVerdict::BadField, std::nullopt, kTableEndField, 1, "the bad part is selected"},
      {"1e40", "1", "1", TableVerdict::BadField, std::nullopt, kTableStartField, 0, "beyond the float range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const TableCheck check = CheckTableFields(c.start, c.end, c.step, ',');
    EXPECT_EQ(check.verdict, c.verdict);
    EXPECT_EQ(check.warning, c.warning);
    if (c.verdict == TableVerdict::BadField) {
      EXPECT_EQ(check.badField, c.badField);
      EXPECT_EQ(check.selectFrom, c.selectFrom);
    }
    if (c.verdict == TableVerdict::Accepted) {
      EXPECT_EQ(check.options.separator, ',');
    }
  }

  // Through the panel's OK a refusal is an error box.
  EXPECT_EQ(TableDialogOk("1", "0", "0.25", '\t').verdict, TableVerdict::Refused);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "Generate Table");
  EXPECT_EQ(Boxes()[0].icon, platform::Icon::Error);
}

TEST_F(ExportTest, TablesRunFromStartTowardsEndInSinglePrecision) {
  StoreRegression(500, {1.0f, 2.0f}, 0.5f, 0.9f, kWeightingNone);
  const std::string path = dir_.File("t.tab");
  ASSERT_EQ(WriteTable(doc_, path, 500, {0.0f, 1.0f, 0.25f, '\t'}), kTableWritten);
  EXPECT_EQ(ReadFile(path), "0\t1\n0.25\t1.5\n0.5\t2\n0.75\t2.5\n1\t3\n");

  ASSERT_EQ(WriteTable(doc_, path, 500, {1.0f, 0.0f, -0.5f, ' '}), kTableWritten);
  EXPECT_EQ(ReadFile(path), "1 3\n0.5 2\n0 1\n");

  // Ten float additions of 0.1 pass 1, so the table stops at 0.9.
  ASSERT_EQ(WriteTable(doc_, path, 500, {0.0f, 1.0f, 0.1f, ','}), kTableWritten);
  const std::string text = ReadFile(path);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10);
  EXPECT_EQ(text.substr(text.rfind("0.9")), "0.9,2.8\n");

  // A step that cannot move x ends the table instead of running for ever.
  EXPECT_EQ(WriteTable(doc_, path, 500, {1e8f, 2e8f, 1.0f, ','}), kTableStalled);
  EXPECT_EQ(ReadFile(path), text) << "nothing written";
}

TEST_F(ExportTest, TableLinesWhereTheModelFailsReadErr) {
  StoreRegression(506, {1.0f, 1.0f}, 0.1f, 0.9f, kWeightingNone);
  const std::string path = dir_.File("t.tab");
  ASSERT_EQ(WriteTable(doc_, path, 506, {0.0f, 2.0f, 1.0f, '\t'}), kTableWritten);
  EXPECT_EQ(ReadFile(path), "0\tERR\n1\t1\n2\t1.69315\n");
  EXPECT_NE(log_.find("EX: WriteTable_1\n"), std::string::npos);

  ASSERT_EQ(WriteTable(doc_, path, 506, {1.0f, -1.0f, -1.0f, '\t'}), kTableWritten);
  EXPECT_EQ(ReadFile(path), "1\t1\n0\tERR\n-1\tERR\n");
  EXPECT_NE(log_.find("EX: WriteTable_2\n"), std::string::npos);
}

}  // namespace
}  // namespace trendolin
