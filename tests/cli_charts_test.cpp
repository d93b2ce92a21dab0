// keydecoder-cli chart and summary, run as a program on the samples.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/run_command.h"
#include "support/temp_dir.h"

namespace kd {
namespace {

namespace fs = std::filesystem;

std::string Sample(const char* name) { return (fs::path(KD_SAMPLES) / name).string(); }

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

using Rows = std::vector<std::vector<std::string>>;

// RFC 4180, as far as our files need it.
Rows ParseCsv(const std::string& text) {
  Rows rows(1);
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().push_back(std::move(field));
      field.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.back().push_back(std::move(field));
      field.clear();
      rows.emplace_back();
      ++i;
    } else {
      field += c;
    }
  }
  rows.pop_back();  // after the last CRLF
  return rows;
}

class CliChartsTest : public ::testing::Test {
 protected:
  test::CommandResult Cli(const std::vector<std::string>& args, const std::string& out = "") {
    std::string command = "LC_ALL=C.UTF-8 " + test::ShellQuote(KD_CLI);
    for (const std::string& arg : args) command += " " + test::ShellQuote(arg);
    if (out.empty()) return test::RunCommand(command);
    // Standard output to `out`, standard error to dir/err.
    const int raw = std::system((command + " >" + test::ShellQuote(out) + " 2>" + test::ShellQuote((dir / "err").string())).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, {}};
  }
  // The channels' point counts in an SVG, as a reader of the file counts them.
  std::map<std::string, int> SvgPoints(const fs::path& svg) {
    const test::CommandResult r =
        test::RunCommand("/usr/bin/python3 " + test::ShellQuote(KD_TEST_SOURCE_DIR "/support/svg_points.py") + " " +
                         test::ShellQuote(svg.string()));
    EXPECT_EQ(r.status, 0) << r.output;
    std::map<std::string, int> points;
    std::istringstream lines(r.output);
    std::string name;
    int count = 0;
    while (lines >> name >> count) points[name] = count;
    return points;
  }
  // The Data 2 table of a sample, as keydecoder-cli data2 writes it.
  Rows Data2(const std::string& image) {
    const fs::path csv = dir / "data2.csv";
    EXPECT_EQ(Cli({"data2", image, "--output", csv.string()}).status, 0);
    return ParseCsv(ReadText(csv));
  }

  test::TempDir dir;
};

TEST_F(CliChartsTest, SvgHasAPointPerRecordWithALoad) {
  for (const char* name : {"crane-200.512", "full-4675.512", "empty-log.512", "format-6.512"}) {
    const fs::path svg = dir / "chart.svg";
    const test::CommandResult r = Cli({"chart", Sample(name), "--output", svg.string()});
    ASSERT_EQ(r.status, 0) << name << r.output;
    EXPECT_EQ(r.output, "") << name;
    const Rows table = Data2(Sample(name));
    int l1 = 0, l2 = 0;
    for (std::size_t row = 1; row < table.size(); ++row) {
      l1 += table[row][3] != "---";
      l2 += table[row][4] != "---";
    }
    const std::map<std::string, int> points = SvgPoints(svg);
    EXPECT_EQ(points.at("L1"), l1) << name;
    EXPECT_EQ(points.at("L2"), l2) << name;
  }
}

TEST_F(CliChartsTest, PngHasTheRequestedSize) {
  const fs::path png = dir / "chart.png";
  ASSERT_EQ(Cli({"chart", Sample("crane-200.512"), "--output", png.string(), "--size", "640x360"}).status, 0);
  const std::string bytes = ReadText(png);
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  const auto big_endian = [&](std::size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
  };
  EXPECT_EQ(big_endian(16), 640);  // IHDR width
  EXPECT_EQ(big_endian(20), 360);  // IHDR height
}

TEST_F(CliChartsTest, ChartUsageAndFileErrors) {
  const std::string image = Sample("crane-200.512");
  const std::string svg = (dir / "a.svg").string();
  const struct {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{"chart", image}, 2},
      {{"chart", "--output", svg}, 2},
      {{"chart", image, image, "--output", svg}, 2},
      {{"chart", image, "--output", (dir / "a.jpg").string()}, 2},
      {{"chart", image, "--output", svg, "--size", "640"}, 2},
      {{"chart", image, "--output", svg, "--size", "10x10"}, 2},
      {{"chart", image, "--output", svg, "--colour", "red"}, 2},
      {{"chart", (dir / "missing.512").string(), "--output", svg}, 3},
      {{"chart", image, "--output", (dir / "no-folder" / "a.svg").string()}, 3},
  };
  for (const auto& c : cases) EXPECT_EQ(Cli(c.args).status, c.status) << ::testing::PrintToString(c.args);
  EXPECT_FALSE(fs::exists(svg));
}

// The fleet table of the samples: a row each, the refused one with its reason, exit status 1.
TEST_F(CliChartsTest, SummaryOfTheSamples) {
  const fs::path csv = dir / "fleet.csv";
  const std::vector<std::string> names = {"crane-200.512", "empty-log.512", "format-6.512", "full-4675.512"};
  std::vector<std::string> args = {"summary"};
  for (const std::string& name : names) args.push_back(Sample(name.c_str()));
  const test::CommandResult to_stdout = Cli(args, (dir / "stdout.csv").string());
  EXPECT_EQ(to_stdout.status, 1);
  EXPECT_EQ(ReadText(dir / "err"), "keydecoder-cli: " + Sample("format-6.512") + ": Файл не верный !\n");
  args.insert(args.end(), {"--output", csv.string()});
  EXPECT_EQ(Cli(args).status, 1);
  const std::string file = ReadText(csv);
  ASSERT_EQ(file.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(file.substr(3), ReadText(dir / "stdout.csv"));

  const Rows rows = ParseCsv(file.substr(3));
  ASSERT_EQ(rows.size(), 5u);
  const std::vector<std::string>& header = rows[0];
  const auto column = [&](const std::string& name) {
    const auto it = std::find(header.begin(), header.end(), name);
    EXPECT_NE(it, header.end()) << name;
    return static_cast<std::size_t>(it - header.begin());
  };
  for (std::size_t i = 0; i < names.size(); ++i) {
    ASSERT_EQ(rows[i + 1].size(), header.size()) << names[i];
    EXPECT_EQ(rows[i + 1][0], Sample(names[i].c_str()));
  }
  EXPECT_EQ(rows[3][column("Причина")], "Файл не верный !");
  EXPECT_EQ(rows[3][column("Номер ограничителя")], "");
  EXPECT_EQ(rows[1][column("Причина")], "");
  EXPECT_EQ(rows[1][column("Класс использования крана")], "C1");
  EXPECT_EQ(rows[1][column("Класс использования механизма")], "T3");
  EXPECT_EQ(rows[2][column("Записей")], "0");
  EXPECT_EQ(rows[2][column("Наибольшая Л1 [%]")], "");

  // The full key's figures, counted here from its Data 2 CSV.
  const Rows log = Data2(Sample("full-4675.512"));
  const std::vector<std::string>& full = rows[4];
  int near[2] = {}, over[2] = {}, relay = 0, sensor = 0, upr = 0, blocking = 0;
  int highest[2] = {INT32_MIN, INT32_MIN};
  std::size_t highest_row[2] = {};
  for (std::size_t row = 1; row < log.size(); ++row) {
    for (int channel = 0; channel < 2; ++channel) {
      const std::string& cell = log[row][3 + static_cast<std::size_t>(channel)];
      if (cell == "---") continue;
      const int load = std::stoi(cell);
      near[channel] += load >= 90;
      over[channel] += load > 100;
      if (load > highest[channel]) {
        highest[channel] = load;
        highest_row[channel] = row;
      }
    }
    sensor += log[row][6] == "Ошибка";
    upr += log[row][7] == "Было";
    blocking += log[row][8] == "Было";
    relay += log[row][10] == "Защита";
  }
  EXPECT_EQ(full[column("Записей")], std::to_string(log.size() - 1));
  EXPECT_EQ(full[column("Л1 не ниже 90 %")], std::to_string(near[0]));
  EXPECT_EQ(full[column("Л1 выше 100 %")], std::to_string(over[0]));
  EXPECT_EQ(full[column("Л2 не ниже 90 %")], std::to_string(near[1]));
  EXPECT_EQ(full[column("Л2 выше 100 %")], std::to_string(over[1]));
  EXPECT_EQ(full[column("Реле в защите")], std::to_string(relay));
  EXPECT_EQ(full[column("Ошибка датчика")], std::to_string(sensor));
  EXPECT_EQ(full[column("Упр")], std::to_string(upr));
  EXPECT_EQ(full[column("Блкр")], std::to_string(blocking));
  EXPECT_EQ(full[column("Наибольшая Л1 [%]")], std::to_string(highest[0]));
  EXPECT_EQ(full[column("Блок наибольшей Л1")], log[highest_row[0]][0]);
  EXPECT_EQ(full[column("Дата наибольшей Л1")], log[highest_row[0]][1]);
  EXPECT_EQ(full[column("Время наибольшей Л1")], log[highest_row[0]][2]);
  EXPECT_EQ(full[column("Наибольшая Л2 [%]")], std::to_string(highest[1]));
  EXPECT_EQ(full[column("Блок наибольшей Л2")], log[highest_row[1]][0]);
  EXPECT_EQ(full[column("Дата первой записи")], log[1][1]);
  EXPECT_EQ(full[column("Время последней записи")], log.back()[2]);
}

TEST_F(CliChartsTest, SummaryUsageAndUnreadableFiles) {
  EXPECT_EQ(Cli({"summary"}).status, 2);
  EXPECT_EQ(Cli({"summary", Sample("crane-200.512"), "--format", "xls"}).status, 2);
  const std::string image = (dir / "key.512").string();
  fs::copy_file(Sample("crane-200.512"), image);
  // Never written over a key image, as the reports are not.
  EXPECT_EQ(Cli({"summary", image, "--output", image}).status, 3);
  EXPECT_EQ(Cli({"chart", image, "--output=" + image + ".svg"}).status, 0);
  fs::rename(image + ".svg", dir / "copy.svg");
  fs::create_symlink(image, dir / "link.svg");
  EXPECT_EQ(Cli({"chart", image, "--output", (dir / "link.svg").string()}).status, 3);
  EXPECT_EQ(ReadText(image), ReadText(Sample("crane-200.512")));

  const test::CommandResult r = Cli({"summary", (dir / "missing.512").string(), image}, (dir / "out.csv").string());
  EXPECT_EQ(r.status, 3);
  const Rows rows = ParseCsv(ReadText(dir / "out.csv"));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].back(), "Файл не удается открыть ! нет такого файла");
  EXPECT_EQ(rows[2].back(), "");
}

}  // namespace
}  // namespace kd
