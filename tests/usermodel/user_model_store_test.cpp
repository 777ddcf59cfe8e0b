// The library of user models in the settings file: the exact keys saving and
// deleting write, hand-edited values, large libraries, and the name dialog.
#include "session/user_model_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "session/user_model_dialog.h"

namespace trendolin {
namespace {

using platform::ProfileFile;

std::string Value(const ProfileFile& profile, const std::string& key) {
  return profile.Get(kUserModelsSection, key).value_or("<absent>");
}

TEST(UserModelStoreTest, SaveAppendsAndDeleteEmptiesTheLastKey) {
  ProfileFile profile = ProfileFile::Parse("[User Models]\nNumber=0\n");
  EXPECT_EQ(AppendUserModel(profile, "Fit 1", "a*exp(b*x)"), "Fit 1");
  EXPECT_EQ(Value(profile, "Model0"), "Fit 1,a*exp(b*x)");
  EXPECT_EQ(Value(profile, "Number"), "1");
  EXPECT_TRUE(RemoveUserModel(profile, "Fit 1"));
  EXPECT_EQ(Value(profile, "Model0"), "");
  EXPECT_EQ(Value(profile, "Number"), "0");
  EXPECT_EQ(profile.ToText(), "[User Models]\nNumber=0\nModel0=\n");
}

TEST(UserModelStoreTest, DeleteShiftsLaterEntriesDownAndTakesTheFirstOfAName) {
  ProfileFile profile;
  AppendUserModel(profile, "A", "a*x");
  AppendUserModel(profile, "Twin  \t", "a+x");  // trailing blanks go
  AppendUserModel(profile, "C", "a-x,b");       // a formula may hold commas
  AppendUserModel(profile, "Twin", "a/x");
  EXPECT_EQ(Value(profile, "Model1"), "Twin,a+x");
  EXPECT_TRUE(RemoveUserModel(profile, "Twin"));
  EXPECT_EQ(Value(profile, "Model0"), "A,a*x");
  EXPECT_EQ(Value(profile, "Model1"), "C,a-x,b");
  EXPECT_EQ(Value(profile, "Model2"), "Twin,a/x");
  EXPECT_EQ(Value(profile, "Model3"), "");
  EXPECT_EQ(Value(profile, "Number"), "3");
  EXPECT_FALSE(RemoveUserModel(profile, "Nobody"));
  EXPECT_EQ(Value(profile, "Number"), "3") << "nothing changes";

  const std::vector<StoredUserModel> library = ReadUserModelLibrary(profile);
  ASSERT_EQ(library.size(), 3u);
  EXPECT_EQ(library[1].name, "C");
  EXPECT_EQ(library[1].formula, "a-x,b") << "everything after the first comma";
}

TEST(UserModelStoreTest, HandEditedLibrariesReadWithoutSurprises) {
  const ProfileFile profile = ProfileFile::Parse(
      "[User Models]\nNumber=4\nModel0=No comma at all\nModel2=,a*x\nModel3=Name only,\n");
  const std::vector<StoredUserModel> library = ReadUserModelLibrary(profile);
  ASSERT_EQ(library.size(), 4u);
  EXPECT_EQ(library[0].name, "No comma at all");
  EXPECT_EQ(library[0].formula, "") << "a value without a comma is a name without formula";
  EXPECT_EQ(library[1].name, "Error");
  EXPECT_EQ(library[1].formula, "Error") << "a missing key reads as Error,Error";
  EXPECT_EQ(library[2].name, "");
  EXPECT_EQ(library[3].formula, "");
  for (const StoredUserModel& model : library) {
    EXPECT_EQ(CheckFormulaField(model.formula) == std::nullopt, model.formula == "a*x") << model.formula;
  }

  EXPECT_TRUE(ReadUserModelLibrary(ProfileFile::Parse("[User Models]\nNumber=-3\n")).empty());
  EXPECT_TRUE(ReadUserModelLibrary(ProfileFile::Parse("[User Models]\nNumber=lots\n")).empty());
  ProfileFile absurd = ProfileFile::Parse("[User Models]\nNumber=2147483647\n");
  EXPECT_EQ(ReadUserModelLibrary(absurd).size(), static_cast<std::size_t>(kMaxStoredUserModels));
  EXPECT_FALSE(AppendUserModel(absurd, "One more", "a*x")) << "a full library takes no more";
  EXPECT_EQ(Value(absurd, "Number"), "2147483647");
}

TEST(UserModelStoreTest, TenThousandEntriesListAndDelete) {
  std::string text = "[User Models]\nNumber=10000\n";
  for (int i = 0; i < 10000; ++i) text += "Model" + std::to_string(i) + "=M" + std::to_string(i) + ",a*x+b\n";
  ProfileFile profile = ProfileFile::Parse(text);
  const std::vector<StoredUserModel> library = ReadUserModelLibrary(profile);
  ASSERT_EQ(library.size(), 10000u);
  EXPECT_EQ(library[9999].name, "M9999");
  EXPECT_TRUE(RemoveUserModel(profile, "M5000"));
  EXPECT_EQ(Value(profile, "Model5000"), "M5001,a*x+b");
  EXPECT_EQ(Value(profile, "Model9999"), "");
  EXPECT_EQ(Value(profile, "Number"), "9999");
}

TEST(UserModelStoreTest, DialogSaveAndDeleteWriteTheSettingsFile) {
  testsupport::TempDir dir;
  const std::string path = dir.File("REVUZI.INI");
  testsupport::WriteFile(path, "[Single-Precision]\nWeighting=460\n\n[User Models]\nNumber=0\n");
  std::vector<StoredUserModel> library = LoadUserModelLibrary(path);
  ASSERT_TRUE(SaveUserModelEntry(path, library, "Fit 1 ", "a*EXP(b*x)"));
  ASSERT_TRUE(SaveUserModelEntry(path, library, "Fit 2", "a+b/x"));
  ASSERT_EQ(library.size(), 2u);
  EXPECT_EQ(library[0].name, "Fit 1");
  EXPECT_EQ(LoadUserModelLibrary(path).size(), 2u);
  ASSERT_TRUE(DeleteUserModelEntry(path, library, 0));
  ASSERT_EQ(library.size(), 1u);
  EXPECT_EQ(testsupport::ReadFile(path),
            "[Single-Precision]\nWeighting=460\n\n[User Models]\nNumber=1\nModel0=Fit 2,a+b/x\nModel1=\n");
  EXPECT_FALSE(DeleteUserModelEntry(path, library, 5));

  std::string error;
  EXPECT_FALSE(SaveUserModelEntry(dir.File("missing/REVUZI.INI"), library, "X", "a*x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(library.size(), 1u) << "a failed save leaves the list alone";
  // A run without a settings file says so, and writes nothing.
  error.clear();
  EXPECT_FALSE(SaveUserModelEntry("", library, "X", "a*x", &error));
  EXPECT_NE(error.find("settings file"), std::string::npos) << error;
  EXPECT_FALSE(DeleteUserModelEntry("", library, 0));
  EXPECT_EQ(library.size(), 1u);
}

TEST(UserModelStoreTest, NameDialogRefusesCommasAndReads49Characters) {
  EXPECT_EQ(CheckModelName(kDefaultUserModelName).name, "User Model");
  const ModelNameCheck comma = CheckModelName("Decay, fast");
  EXPECT_FALSE(comma.name);
  EXPECT_EQ(comma.warning, kModelNameHasComma);
  EXPECT_EQ(CheckModelName(std::string(60, 'n')).name, std::string(49, 'n'));
  EXPECT_TRUE(CheckModelName(std::string(49, 'n') + ",").name) << "a comma past what is read does not count";
}

}  // namespace
}  // namespace trendolin
