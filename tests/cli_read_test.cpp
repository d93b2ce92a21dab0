#include <gtest/gtest.h>

#include <QProcess>

#include "support/key_reader_sim.h"

namespace kd {
namespace {

using test::KeyReaderSim;
using test::ReadBytes;
using test::ServedKey;
using test::TempDir;
using test::WriteBytes;

struct CliCase {
  const char* name;
  QStringList faults;
  std::vector<std::string> arguments;  // after "read"; PORT and OUT stand for the simulator and the output
  int status;
  const char* said;  // on standard error
  bool saved;
};
void PrintTo(const CliCase& c, std::ostream* out) { *out << c.name; }


const CliCase kCases[] = {
    {"Success", {}, {"--port", "PORT", "--output", "OUT"}, 0, "Считано страниц: 4 из 4", true},
    {"NoKey", {"--no-key"}, {"--port", "PORT", "--output", "OUT"}, 1, "Ключ не вставлен в УСИ !", false},
    {"OptionsWithEquals", {}, {"--port=PORT", "--output=OUT"}, 0, "Считано страниц: 4 из 4", true},
    {"NoOutput", {}, {"--port", "PORT"}, 2, "read: нужны --port PORT и --output IMAGE.512", false},
    {"UnknownOption", {}, {"--port", "PORT", "--output", "OUT", "--speed", "9600"}, 2, "неизвестный параметр --speed", false},
    {"OutputNotWritable", {}, {"--port", "PORT", "--output", "OUT/missing/key.512"}, 3, "Не удается создать файл !", false},
    // Told before the port opens, not after a read of a minute: the reader's failure is never reached.
    {"OutputCheckedFirst", {"--no-key"}, {"--port", "PORT", "--output", "OUT/missing/key.512"}, 3, "(папка не найдена)", false},
    // Pages 0 and 1 come; page 2 times out and is not counted.
    {"PageMissing", {"--stop-at", "2"}, {"--port", "PORT", "--output", "OUT"}, 1, "Считано страниц: 2 из 4 [", false},
};

class CliReadTest : public ::testing::TestWithParam<CliCase> {};

// The same link as the window's, on any port name; the image is saved only after a whole read, and
// an older file is kept otherwise.
TEST_P(CliReadTest, ReadsSavesAndSaysWhatHappened) {
  const CliCase& c = GetParam();
  const KeyImage served = ServedKey(22);
  KeyReaderSim sim(served, c.faults + QStringList{"--fast"});
  TempDir dir;
  const std::filesystem::path out = dir / "key.512";
  const std::vector<std::uint8_t> old{1, 2, 3};
  WriteBytes(out, old);

  QStringList arguments{"read"};
  for (std::string argument : c.arguments) {
    if (const auto at = argument.find("PORT"); at != std::string::npos) argument.replace(at, 4, sim.Path().toStdString());
    if (const auto at = argument.find("OUT"); at != std::string::npos) argument.replace(at, 3, out.string());
    arguments << QString::fromStdString(argument);
  }
  QProcess cli;
  cli.start(QStringLiteral(KD_CLI), arguments);
  ASSERT_TRUE(cli.waitForFinished(20000));
  const QString said = QString::fromUtf8(cli.readAllStandardError());

  EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(cli.exitCode(), c.status) << said.toStdString();
  EXPECT_TRUE(said.contains(QString::fromUtf8(c.said))) << said.toStdString();
  if (c.saved) {
    KeyImage expected{};
    std::copy_n(served.begin(), 4 * kImagePageSize, expected.begin());
    EXPECT_EQ(ReadBytes(out), std::vector<std::uint8_t>(expected.begin(), expected.end()));
  } else {
    EXPECT_EQ(ReadBytes(out), old);
  }
}

INSTANTIATE_TEST_SUITE_P(Cli, CliReadTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CliCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kd
