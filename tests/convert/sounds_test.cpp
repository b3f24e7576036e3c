// Sounds: one block of key=value lines per sound record.
#include "convert/records/sounds.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::Le;

std::string WorseLine(float worse) {
  records::SoundRecord sound;
  sound.Worse = worse;
  const std::string block = records::ConvertSoundRecord(sound);
  const auto start = block.find("Worse=");
  return block.substr(start + 6, block.find('\n', start) - start - 6);
}

std::string WorseLineOfBits(std::uint32_t bits) { return WorseLine(std::bit_cast<float>(bits)); }

TEST(SoundRecord, ABlockListsEveryFieldFromItsOffsetAndEndsWithAnEmptyLine) {
  const core::Bytes record =
      mapmaker::Le().Text("ambient\\wind \"loud\"", 64).U16(1200).U16(65535).U16(40).F32(2.25f).U16(5).U16(60);
  EXPECT_EQ(records::ConvertSoundRecord(records::SoundRecord::Decode(record)),
            "Name=\"ambient\\wind \"loud\"\"\nU=1200\nV=65535\nRadius=40\nWorse=2.250000\nMinWait=5\nMaxWait=60\n\n");
  EXPECT_EQ(records::ConvertSoundRecord(records::SoundRecord::Decode(core::Bytes(78, 0))),
            "Name=\"\"\nU=0\nV=0\nRadius=0\nWorse=0.000000\nMinWait=0\nMaxWait=0\n\n");
}

TEST(SoundRecord, ANameFillingItsFieldStopsThere) {
  const records::SoundRecord sound =
      records::SoundRecord::Decode(mapmaker::Le().Raw(core::Bytes(64, 'w')).U16(0x4141).U16(7).Fill(10).bytes);
  EXPECT_EQ(sound.Name, std::string(64, 'w'));
  EXPECT_EQ(records::ConvertSoundRecord(sound).substr(0, 80), "Name=\"" + std::string(64, 'w') + "\"\nU=16705\n");
}

TEST(SoundRecord, AShortRecordReadsAsZerosWhereItEnds) {
  const records::SoundRecord sound =
      records::SoundRecord::Decode(mapmaker::Le().Text("x", 64).U16(3).U16(4).U16(5).F32(1.0f).bytes);
  EXPECT_EQ(sound.Worse, 1.0f);
  EXPECT_EQ(sound.MinWait, 0);
  EXPECT_EQ(sound.MaxWait, 0);
}

TEST(SoundWorse, HasOneDigitBeforeThePointAtLeastAndSixAfterIt) {
  EXPECT_EQ(WorseLine(1.5f), "1.500000");
  EXPECT_EQ(WorseLine(0.0f), "0.000000");
  EXPECT_EQ(WorseLine(-0.25f), "-0.250000");
  EXPECT_EQ(WorseLine(0.1f), "0.100000");  // 0.100000001490116... in single precision
  EXPECT_EQ(WorseLine(123.456f), "123.456001");
  EXPECT_EQ(WorseLine(0.0000004f), "0.000000");
  EXPECT_EQ(WorseLine(std::numeric_limits<float>::max()), "340282346638528859811704183484516925440.000000");
  EXPECT_EQ(WorseLine(std::numeric_limits<float>::denorm_min()), "0.000000");
}

TEST(SoundWorse, NonFiniteValuesAreWrittenAsWords) {
  EXPECT_EQ(WorseLineOfBits(0x7F800000), "INF");
  EXPECT_EQ(WorseLineOfBits(0xFF800000), "-INF");
  EXPECT_EQ(WorseLineOfBits(0x7FC00000), "NAN");
  EXPECT_EQ(WorseLineOfBits(0xFFC00001), "NAN");
  EXPECT_EQ(WorseLineOfBits(0x7F800001), "NAN");  // a signalling pattern
}

const char* SetCommaLocale() {
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) return name;
  }
  return nullptr;
}

// The user's locale must not turn the point into a comma: the editor reads a point.
TEST(SoundWorse, IgnoresACommaLocaleOfTheProcess) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const char* chosen = SetCommaLocale();
  mapmaker::ScratchFolder locales;
  if (!chosen) {
    // None installed: compile one from the system's locale sources into a scratch folder.
    const std::string command = "localedef -i de_DE -f UTF-8 " + (locales / "de_DE.UTF-8").string() + " 2>/dev/null";
    if (std::system(command.c_str()) == 0) {
      setenv("LOCPATH", locales.path().c_str(), 1);
      chosen = SetCommaLocale();
      unsetenv("LOCPATH");
    }
  }
  if (!chosen) {
    std::setlocale(LC_ALL, previous.c_str());
    GTEST_SKIP() << "no locale with a comma decimal separator is installed (de_DE, fr_FR or nl_NL)";
  }
  char viaPrintf[32];
  std::snprintf(viaPrintf, sizeof viaPrintf, "%2.6f", 1.5);
  const std::string worse = WorseLine(1.5f);
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_STREQ(viaPrintf, "1,500000") << "locale " << chosen << " is not in effect";
  EXPECT_EQ(worse, "1.500000");
}

}  // namespace
}  // namespace kartwerk
