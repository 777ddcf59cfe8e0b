// Graph attributes: the automatic axes, the defaults kept in the settings
// file (reading rules, writing order, round trip) and copying between graphs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings_location.h"
#include "data/curve_fit.h"
#include "data/data_test_support.h"
#include "graph/graph_attr.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using platform::ProfileFile;

GraphAttr AxesFor(const std::vector<float>& x, const std::vector<float>& y) {
  CurveFit doc;
  testsupport::FillColumns(doc, x, y);
  GraphAttr attr;
  AutomaticAxes(attr, doc);
  return attr;
}

std::string Stored(const GraphAttr& attr) {
  ProfileFile profile;
  StoreGraphDefaults(attr, profile);
  return profile.ToText();
}

TEST(AutomaticAxesTest, WidenByATenthButNeverBelowZeroForNonNegativeData) {
  struct Case {
    std::vector<float> x;
    float low, high;
    const char* why;
  };
  const Case cases[] = {
      {{0, 10}, 0.0f, 11.0f, "0 - 1 is negative: 0.1 x 0 = 0"},
      {{1, 10}, 0.1f, 10.9f, "1 - 0.9 stays positive"},
      {{0.5f, 10}, 0.05f, 10.95f, "0.5 - 0.95 is negative: 0.1 x 0.5"},
      {{-2, 8}, -3.0f, 9.0f, "negative data widens both ways"},
  };
  for (const Case& c : cases) {
    const GraphAttr attr = AxesFor(c.x, {1, 2});
    // Single precision: 1 - 0.1 x 9 comes out as 0.099999964.
    EXPECT_NEAR(attr.xMin, c.low, 1e-6) << c.why;
    EXPECT_NEAR(attr.xMax, c.high, 1e-5) << c.why;
    EXPECT_FLOAT_EQ(attr.xStep, (attr.xMax - attr.xMin) / 6) << c.why;
  }
}

TEST(AutomaticAxesTest, AFlatAxisGetsOneUnit) {
  const GraphAttr attr = AxesFor({1, 2, 3}, {5, 5, 5});
  EXPECT_FLOAT_EQ(attr.yMin, 5);
  EXPECT_FLOAT_EQ(attr.yMax, 6);
  EXPECT_FLOAT_EQ(attr.yStep, 1.0f / 6);
}

TEST(AutomaticAxesTest, AResidualPlotIsSymmetricAboutZeroWithQuarterSteps) {
  CurveFit doc;
  // The fit y = 0 leaves residuals fit - y of -0.2 and 0.5.
  testsupport::FillColumns(doc, {1, 2, 3}, {0.2f, -0.5f, 0.1f});
  doc.Slot(500).coefficients = {0, 0};
  GraphAttr attr;
  attr.modelId = 500;
  attr.plotKind = PlotKind::Residual;
  attr.xMinorTicks = 7;
  AutomaticAxes(attr, doc);
  EXPECT_FLOAT_EQ(attr.yMin, -0.6f);
  EXPECT_FLOAT_EQ(attr.yMax, 0.6f);
  EXPECT_FLOAT_EQ(attr.yStep, 0.3f);
  EXPECT_FLOAT_EQ(attr.xStep, (attr.xMax - attr.xMin) / 4);
  EXPECT_EQ(attr.xMinorTicks, 3);
}

TEST(GraphDefaultsTest, AnEmptyFileAndTheNewSettingsFileGiveTheRecordDefaults) {
  CurveFit doc;
  testsupport::FillColumns(doc, {1, 2}, {1, 2});
  GraphAttr fromEmpty;
  fromEmpty.switches = 0;
  fromEmpty.title.clear();
  ReadGraphDefaults(ProfileFile(), fromEmpty, doc);
  EXPECT_EQ(Stored(fromEmpty), Stored(GraphAttr{}));

  GraphAttr fromNewFile;
  ReadGraphDefaults(ProfileFile::Parse(DefaultSettingsText()), fromNewFile, doc);
  EXPECT_EQ(Stored(fromNewFile), Stored(GraphAttr{}));
  EXPECT_FLOAT_EQ(fromNewFile.xMin, 0.9f) << "the axes follow the data";
}

TEST(GraphDefaultsTest, ReadRulesForColoursSwitchesBytesAndFonts) {
  const ProfileFile profile = ProfileFile::Parse(
      "[Plot Attributes]\n"
      "Foreground=-77\n"           // any text beginning with "-" is the system colour
      "GridColor=65280\n"
      "LineColor=-1\n"             // always a number
      "Box=3\n"                    // only the lowest bit counts
      "DrawHeader=2\n"
      "PtType=268\n"               // cut to a byte: 12
      "ErrorBarScale=2.5\n"
      "XFont=Courier New,100\n"    // missing pieces are zero
      "YFont=AVeryLongFaceNameThatGoesOnAndOnForEver,90,400,90,-3,1,1,1\n"
      "TitleText=Growth\n");
  CurveFit doc;
  GraphAttr attr;
  ReadGraphDefaults(profile, attr, doc);
  EXPECT_EQ(attr.foreground, kSystemButtonText);
  EXPECT_EQ(attr.gridColour, MakeColour(0, 255, 0));
  EXPECT_EQ(attr.lineColour, 0xffffffffu);
  EXPECT_TRUE(attr.Switch(kSwBox));
  EXPECT_FALSE(attr.Switch(kSwDrawHeader));
  EXPECT_EQ(attr.pointType, 12);
  EXPECT_FLOAT_EQ(attr.errorBarScale, 2.5f);
  EXPECT_EQ(attr.xFont, (FontSpec{"Courier New", 100, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(attr.yFont.face, "AVeryLongFaceNameThatGoesOnAndO");
  EXPECT_EQ(attr.yFont.colour, kSystemButtonText);
  EXPECT_EQ(attr.yFont.strikeOut, 1);
  EXPECT_EQ(attr.title, "Growth");
}

TEST(GraphDefaultsTest, WritingKeepsTheOrderAndOtherSectionsAndReadsBack) {
  testsupport::TempDir dir;
  const std::string path = dir.File("REVUZI.INI");
  testsupport::WriteFile(path, "[Window]\nLeft=10\n");

  GraphAttr attr;
  attr.errorBarScale = 0.25f;
  attr.foreground = MakeColour(1, 2, 3);
  attr.switches = SwitchBit(kSwLogY) | SwitchBit(kSwLineAtY) | SwitchBit(kSwPredictionBand);
  attr.lineStyle = kLineDotDashed;
  attr.granularity = 2;
  attr.yLabel = "Mass (kg)";
  attr.titleFont = FontSpec{"Serif", 200, 400, 10, MakeColour(9, 8, 7), 1, 0, 1};
  ASSERT_TRUE(WriteGraphDefaults(attr, path));

  const ProfileFile written = ProfileFile::Load(path);
  EXPECT_EQ(written.GetString("Window", "Left", ""), "10");
  const std::vector<std::string> keys = written.Keys(kPlotAttributesSection);
  ASSERT_EQ(keys.size(), 56u);
  EXPECT_EQ(keys[0], "ErrorBarScale");
  EXPECT_EQ(keys[1], "LineColor");
  EXPECT_EQ(keys[8], "DrawHeader");
  EXPECT_EQ(keys[33], "LineAtY");
  // The band switches come after the others, so files of earlier versions
  // read the same.
  EXPECT_EQ(keys[34], "ConfidenceBand");
  EXPECT_EQ(keys[35], "PredictionBand");
  EXPECT_EQ(keys[36], "PrecisionX");
  EXPECT_EQ(keys[43], "LineStyle");
  EXPECT_EQ(keys[47], "Granularity");
  EXPECT_EQ(keys[48], "TitleText");
  EXPECT_EQ(keys.back(), "YFont");
  EXPECT_EQ(written.GetString(kPlotAttributesSection, "TitleFont", ""), "Serif,200,400,10,460809,1,0,1");
  EXPECT_EQ(written.GetString(kPlotAttributesSection, "ErrorBarScale", ""), "0.25");
  EXPECT_EQ(written.GetString(kPlotAttributesSection, "PredictionBand", ""), "-1");
  EXPECT_EQ(written.GetString(kPlotAttributesSection, "ConfidenceBand", ""), "0");

  CurveFit doc;
  GraphAttr back;
  ReadGraphDefaults(written, back, doc);
  EXPECT_EQ(Stored(back), Stored(attr));
}

TEST(CopyGraphAttrTest, CopiesTheLookButNotTheIdentityOrTheLabelSwitches) {
  GraphAttr from;
  from.modelId = 504;
  from.window = 7;
  from.plotRect = Rect{1, 2, 3, 4};
  from.title = "Decay";
  from.xMin = -4;
  from.yStep = 0.5f;
  from.pointType = kPtDiamond;
  from.windowFill = MakeColour(5, 5, 5);
  from.yTickFont.face = "Mono";
  from.switches = SwitchBit(kSwLogX) | SwitchBit(kSwShowXLabel);

  GraphAttr to;
  to.modelId = 500;
  to.window = 3;
  to.switches = SwitchBit(kSwShowYLabel) | SwitchBit(kSwBox);
  CopyGraphAttr(to, from);
  EXPECT_EQ(to.modelId, 500);
  EXPECT_EQ(to.window, 3);
  EXPECT_EQ(to.plotRect, Rect{});
  EXPECT_EQ(to.title, "Decay");
  EXPECT_FLOAT_EQ(to.xMin, -4);
  EXPECT_FLOAT_EQ(to.yStep, 0.5f);
  EXPECT_EQ(to.pointType, kPtDiamond);
  EXPECT_EQ(to.windowFill, MakeColour(5, 5, 5));
  EXPECT_EQ(to.yTickFont.face, "Mono");
  EXPECT_EQ(to.switches, SwitchBit(kSwLogX) | SwitchBit(kSwShowYLabel));

  CopyGraphAttr(from, from);
  EXPECT_EQ(from.title, "Decay");
}

}  // namespace
}  // namespace trendolin
