// Reading and writing settings files, including damaged and hand-edited ones.
#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace platform {
namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

TEST(ProfileFileTest, ReadsHandEditedFileForgivingly) {
  ProfileFile p = ProfileFile::Parse(
      "; settings written by hand\r\n"
      "\r\n"
      "  [ Single-Precision ]  \r\n"
      "MaxIterations = 250 \r\n"
      "\tDataExt=\"TXT\"\r\n"
      "Empty=\r\n"
      "# another comment\r\n"
      "[plot attributes]\n"
      "TitleText='My graph'\n");
  EXPECT_EQ(p.GetInt("Single-Precision", "MaxIterations", 100), 250);
  EXPECT_EQ(p.GetInt("single-precision", "maxiterations", 100), 250) << "names ignore case";
  EXPECT_EQ(p.GetString("Single-Precision", "DataExt", "DAT"), "TXT") << "one pair of quotes is removed";
  EXPECT_EQ(p.GetString("Plot Attributes", "TitleText", "x"), "My graph");
  EXPECT_EQ(p.Get("Single-Precision", "Empty"), std::optional<std::string>(""))
      << "an empty value is present, not absent";
  EXPECT_EQ(p.GetInt("Single-Precision", "Empty", 7), 7) << "an empty number reads as its default";
  EXPECT_FALSE(p.Get("Single-Precision", "Missing").has_value());
  EXPECT_FALSE(p.Get("Nowhere", "MaxIterations").has_value());
}

TEST(ProfileFileTest, IntegersReadLikeTheClassicCall) {
  ProfileFile p = ProfileFile::Parse(
      "[s]\nneg=-1\nplus=+12\ntext=abc\nmixed=42abc\nhuge=99999999999999999999\nhugeneg=-99999999999999999999\n");
  EXPECT_EQ(p.GetInt("s", "neg", 0), -1);
  EXPECT_EQ(p.GetInt("s", "plus", 0), 12);
  EXPECT_EQ(p.GetInt("s", "text", 5), 0) << "text that is not a number reads as 0";
  EXPECT_EQ(p.GetInt("s", "mixed", 5), 42);
  EXPECT_EQ(p.GetInt("s", "huge", 0), INT_MAX);
  EXPECT_EQ(p.GetInt("s", "hugeneg", 0), INT_MIN);
}

TEST(ProfileFileTest, DuplicatesYieldTheFirstValueAndWriteOneCleanSection) {
  ProfileFile p = ProfileFile::Parse("[A]\nk=1\nk=2\n[B]\nx=1\n[a]\nk=3\nonly=second\n");
  EXPECT_EQ(p.GetInt("A", "k", 0), 1);
  EXPECT_EQ(p.GetString("A", "only", ""), "second");
  EXPECT_EQ(p.ToText(), "[A]\nk=1\nonly=second\n\n[B]\nx=1\n");
}

TEST(ProfileFileTest, JunkLinesAreIgnoredAndDropped) {
  std::string binary = std::string("[S]\nk=1\n") + std::string("\x01\x02\0\xff", 4) + "\nj=2\n";
  ProfileFile p = ProfileFile::Parse(binary);
  EXPECT_EQ(p.GetInt("S", "k", 0), 1);
  EXPECT_EQ(p.GetInt("S", "j", 0), 2);
  EXPECT_EQ(p.ToText(), "[S]\nk=1\nj=2\n");

  ProfileFile allJunk = ProfileFile::Parse(std::string("\0\0\0\x7f\x10", 5));
  EXPECT_EQ(allJunk.GetInt("S", "k", 9), 9);
}

TEST(ProfileFileTest, LongLinesAndTruncatedFilesStillRead) {
  std::string longValue(100000, 'x');
  ProfileFile p = ProfileFile::Parse("[S]\nlong=" + longValue + "\nafter=3\n[T]\nhalf=12");
  EXPECT_EQ(p.GetString("S", "long", "").size(), longValue.size());
  EXPECT_EQ(p.GetString("S", "long", "", 259).size(), 259u) << "a fixed buffer cuts the value";
  EXPECT_EQ(p.GetInt("S", "after", 0), 3);
  EXPECT_EQ(p.GetInt("T", "half", 0), 12) << "a last line without its line feed";

  ProfileFile cut = ProfileFile::Parse("[S]\nk=1\n[Plot Attr");
  EXPECT_EQ(cut.GetInt("S", "k", 0), 1);
  EXPECT_TRUE(cut.HasSection("Plot Attr")) << "an unclosed section name still counts";
}

TEST(ProfileFileTest, SetReplacesInPlaceAppendsAndCreatesSections) {
  ProfileFile p = ProfileFile::Parse("; keep me\n[A]\nfirst=1\n; note\nsecond=2\n\n[B]\nb=1\n");
  p.Set("a", "SECOND", "20");
  p.Set("A", "third", "3");
  p.Set("C", "new", "line\nbreak");
  EXPECT_EQ(p.ToText(),
            "; keep me\n[A]\nfirst=1\n; note\nsecond=20\nthird=3\n\n[B]\nb=1\n\n[C]\nnew=line break\n");
  EXPECT_EQ(p.Keys("A"), (std::vector<std::string>{"first", "second", "third"}));
}

TEST(ProfileFileTest, SaveReplacesTheFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.File("REVUZI.INI");
  WriteFile(path, "[Other]\nmine=yes\n");
  ASSERT_TRUE(WriteProfileString(path, "Single-Precision", "MaxIterations", "50"));
  EXPECT_EQ(ReadFile(path), "[Other]\nmine=yes\n\n[Single-Precision]\nMaxIterations=50\n");
  EXPECT_EQ(ReadProfileInt(path, "Single-Precision", "MaxIterations", 0), 50);
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

TEST(ProfileFileTest, FailedSaveKeepsThePreviousFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  TempDir dir;
  const std::string path = dir.File("REVUZI.INI");
  WriteFile(path, "[S]\nk=1\n");
  ::chmod(dir.Path().c_str(), 0555);
  std::string error;
  WriteFailure failure = WriteFailure::None;
  EXPECT_FALSE(WriteFileAtomically(path, "[S]\nk=2\n", &error, &failure));
  ::chmod(dir.Path().c_str(), 0755);
  EXPECT_EQ(failure, WriteFailure::Create);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFile(path), "[S]\nk=1\n");
}

TEST(ProfileFileTest, RefusesToWriteOverAFolderOrAFileItCannotRead) {
  TempDir dir;
  const std::string folder = dir.File("REVUZI.INI");
  std::filesystem::create_directory(folder);
  std::string error;
  EXPECT_FALSE(WriteProfileString(folder, "S", "k", "1", &error));
  EXPECT_NE(error.find("folder"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(folder));

  if (::geteuid() != 0) {
    const std::string secret = dir.File("secret.ini");
    WriteFile(secret, "[S]\nkeep=1\n");
    ::chmod(secret.c_str(), 0200);
    EXPECT_FALSE(WriteProfileString(secret, "S", "k", "1"));
    ::chmod(secret.c_str(), 0600);
    EXPECT_EQ(ReadFile(secret), "[S]\nkeep=1\n");
  }
}

TEST(ProfileFileTest, WritesThroughASymbolicLink) {
  TempDir dir;
  const std::string target = dir.File("real.ini");
  const std::string link = dir.File("REVUZI.INI");
  WriteFile(target, "[S]\nk=1\n");
  std::filesystem::create_symlink(target, link);
  ASSERT_TRUE(WriteProfileString(link, "S", "k", "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "[S]\nk=2\n");
}

// Lookups go by a table of keys: a file of recent files or user models with
// hundreds of thousands of keys reads in a fraction of a second (checking
// each key against every earlier one took minutes), and the first-wins rule,
// the case-blind names and the order of keys for writing back stay.
TEST(ProfileFileTest, ManyKeysReadAndWriteInLinearTime) {
  constexpr int kKeys = 200000;
  std::string text = "[MRU Text]\n";
  for (int i = 0; i < kKeys; ++i) text += "File" + std::to_string(i) + "=/data/run" + std::to_string(i) + "\n";
  text += "FILE7=a later duplicate\n\n[mru text]\nfile8=another\nNew=continued\n\n[Other]\nKey=1\n";
  const auto start = std::chrono::steady_clock::now();
  ProfileFile profile = ProfileFile::Parse(text);
  for (int i = 0; i < kKeys; ++i) ASSERT_TRUE(profile.Get("mru TEXT", "file" + std::to_string(i))) << i;
  for (int i = 0; i < kKeys; i += 2) profile.Set("MRU Text", "File" + std::to_string(i), "x");
  profile.Set("MRU Text", "Added", "last");
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 20.0) << "quadratic in the number of keys";

  EXPECT_EQ(profile.Get("MRU Text", "File7"), "/data/run7") << "the first value wins";
  EXPECT_EQ(profile.Get("MRU Text", "File8"), "x");
  EXPECT_EQ(profile.Get("MRU Text", "NEW"), "continued");
  EXPECT_EQ(profile.SectionNames(), (std::vector<std::string>{"MRU Text", "Other"}));
  const std::vector<std::string> keys = profile.Keys("MRU Text");
  ASSERT_EQ(keys.size(), static_cast<std::size_t>(kKeys) + 2);
  EXPECT_EQ(keys[kKeys - 1], "File" + std::to_string(kKeys - 1));
  EXPECT_EQ(keys[kKeys], "New");
  EXPECT_EQ(keys[kKeys + 1], "Added");
  const std::string written = profile.ToText();
  EXPECT_NE(written.find("New=continued\nAdded=last\n\n[Other]\nKey=1\n"), std::string::npos);
}

}  // namespace
}  // namespace platform
