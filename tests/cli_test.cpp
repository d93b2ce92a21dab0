// keydecoder-cli run as a program, once per outcome.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

#include "export/formats.h"
#include "support/header_image.h"
#include "support/pdf_read_back.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace kd {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string PadNumber4(std::size_t n) {
  std::string text = std::to_string(n);
  return std::string(text.size() < 4 ? 4 - text.size() : 0, '0') + text;
}

std::vector<std::string> Lines(const std::string& csv) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(csv.substr(start, end - start));
  }
  return lines;
}

class CliTest : public ::testing::Test {
 protected:
  Outcome Run(const std::vector<std::string>& args, const std::string& locale = "C") {
    std::string command = "LC_ALL=" + locale + " " + test::ShellQuote(KD_CLI);
    for (const std::string& arg : args) command += " " + test::ShellQuote(arg);
    command += " >" + test::ShellQuote((dir / "out").string()) + " 2>" + test::ShellQuote((dir / "err").string());
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(dir / "out"), ReadText(dir / "err")};
  }

  std::string Image(const std::string& name, const KeyImage& image) {
    const fs::path path = dir / name;
    test::WriteBytes(path, std::vector<std::uint8_t>(image.begin(), image.end()));
    return path.string();
  }

  KeyImage Accepted() const {
    test::Counters counters;
    counters.times = {Duration{}, Duration{}, Duration{300, 0}, Duration{}, Duration{}};
    KeyImage image = test::WithCounters(counters);
    test::SetWord(image, header::kLimiterId, 12345);
    return image;
  }

  test::TempDir dir;
};

TEST_F(CliTest, WritesTheWholeTableAsCsvToStandardOutput) {
  const Outcome o = Run({"data1", Image("k.512", Accepted())});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  const std::vector<std::string> lines = Lines(o.out);
  ASSERT_EQ(lines.size(), 35u);
  EXPECT_EQ(o.out.size(), o.out.rfind("\r\n") + 2);  // every line ends in CRLF, nothing after
  EXPECT_EQ(lines[0], "\" Наименование крана, его номер:\",0289");
  EXPECT_EQ(lines[1], ",");
  EXPECT_EQ(lines[5], " Идентификационный номер ограничителя:,12345");
  EXPECT_EQ(lines[24], " Коэф-т распр-я нагрузки ' Km ' :,0.4218");
  EXPECT_EQ(lines[33], " Подпись (ФИО):,Фамилия И.О.");
  EXPECT_TRUE(std::regex_match(lines[34], std::regex(" Дата:,\\d{4}-\\d\\d-\\d\\d"))) << lines[34];
}

TEST_F(CliTest, OptionsSetWhatTheWindowsLocaleAndMenuWould) {
  const std::string image = Image("k.512", Accepted());
  Outcome o = Run({"data1", image, "--decimal-separator", ",", "--crane-name=КС-45717, № 12", "--signature", ""});
  EXPECT_EQ(o.status, 0) << o.err;
  std::vector<std::string> lines = Lines(o.out);
  ASSERT_EQ(lines.size(), 35u);
  EXPECT_EQ(lines[0], "\" Наименование крана, его номер:\",\"КС-45717, № 12\"");
  EXPECT_EQ(lines[24], " Коэф-т распр-я нагрузки ' Km ' :,\"0,4218\"");
  EXPECT_EQ(lines[33], " Подпись (ФИО):,");

  // Without the option, the separator is the user's locale's.
  for (const auto& [locale, km] : {std::pair{"ru_RU.UTF-8", "\"0,4218\""}, {"en_US.UTF-8", "0.4218"}}) {
    o = Run({"data1", image}, locale);
    lines = Lines(o.out);
    ASSERT_EQ(lines.size(), 35u) << locale;
    EXPECT_EQ(lines[24], std::string(" Коэф-т распр-я нагрузки ' Km ' :,") + km) << locale;
  }
}

TEST_F(CliTest, OutputFileIsExactlyTheNameGiven) {
  const fs::path target = dir / "report";
  const Outcome o = Run({"data1", "--output", target.string(), Image("k.512", Accepted())});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(Lines(ReadText(target)).size(), 35u);
  EXPECT_FALSE(fs::exists(dir / "report.csv"));
}

TEST_F(CliTest, SeveralImagesGoToAFolderAndEveryOneIsTried) {
  fs::create_directory(dir / "reports");
  KeyImage refused = Accepted();
  refused[2] = 6;
  const Outcome o = Run({"data1", Image("a.512", Accepted()), Image("bad.512", refused),
                         (dir / "missing.512").string(), Image("b.key", Accepted()), "--output-dir",
                         (dir / "reports").string()});
  // The worst outcome: a file that could not be read.
  EXPECT_EQ(o.status, 3);
  EXPECT_NE(o.err.find("bad.512: Файл не верный !"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("missing.512: Файл не удается открыть !"), std::string::npos) << o.err;
  EXPECT_EQ(Lines(ReadText(dir / "reports" / "a.csv")).size(), 35u);
  EXPECT_EQ(Lines(ReadText(dir / "reports" / "b.csv")).size(), 35u);
  EXPECT_FALSE(fs::exists(dir / "reports" / "bad.csv"));
}

TEST_F(CliTest, ARefusedImageWritesNothingAndExitsWith1) {
  const fs::path target = dir / "report.csv";
  const Outcome o = Run({"data1", Image("k.512", KeyImage{}), "--output", target.string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("Файл не верный !"), std::string::npos) << o.err;
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(CliTest, WrongUsageExitsWith2BeforeReadingAnything) {
  const std::string image = Image("k.512", Accepted());
  const std::vector<std::string> cases[] = {
      {"data1"},
      {"data1", image, "--format", "odt"},
      {"data1", image, "--bogus"},
      {"data1", image, "--output"},
      {"data1", image, image},
      {"data1", image, "--output", "x", "--output-dir", "y"},
      {"data1", image, "--decimal-separator", ",,"},
      {"data1", image, "--crane-name", std::string(256, 'x')},
      {"data1", image, "--signature", "a", "--signature", "b"},
      {"data1", image, (dir / "other" / "k.512").string(), "--output-dir", dir.path().string()},
  };
  for (const auto& args : cases) {
    const Outcome o = Run(args);
    EXPECT_EQ(o.status, 2) << args.back();
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("Использование:"), std::string::npos) << o.err;
  }
  EXPECT_EQ(Run({"data1", image, "--crane-name", std::string(255, 'x')}).status, 0);
}

TEST_F(CliTest, AFileThatCannotBeWrittenExitsWith3AndKeepsTheOldOne) {
  const fs::path target = dir / "report.csv";
  test::WriteBytes(target, {'o', 'l', 'd'});
  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const Outcome o = Run({"data1", Image("k.512", Accepted()), "--output", target.string()});
  EXPECT_EQ(o.status, 3);
  EXPECT_NE(o.err.find("Не удается создать файл !"), std::string::npos) << o.err;
  EXPECT_EQ(ReadText(target), "old");
}

TEST_F(CliTest, SampleKeys) {
  const struct {
    const char* name;
    int status;
    const char* blocks;
  } cases[] = {{"crane-200.512", 0, "0200"}, {"full-4675.512", 0, "4675"}, {"empty-log.512", 0, "0000"},
               {"format-6.512", 1, nullptr}};
  for (const auto& c : cases) {
    const Outcome o = Run({"data1", (fs::path(KD_SAMPLES) / c.name).string()});
    EXPECT_EQ(o.status, c.status) << c.name << ": " << o.err;
    if (c.blocks == nullptr) continue;
    const std::vector<std::string> lines = Lines(o.out);
    ASSERT_EQ(lines.size(), 35u) << c.name;
    EXPECT_EQ(lines[6], std::string(" Количество блоков информации:,") + c.blocks) << c.name;
  }
}

// The event log takes every image, the one Data 1 refuses too: a header line, then a line a record.
TEST_F(CliTest, EventLogOfTheSampleKeys) {
  const struct {
    const char* name;
    std::size_t records;
  } cases[] = {{"crane-200.512", 200}, {"full-4675.512", 4675}, {"empty-log.512", 0}, {"format-6.512", 50}};
  for (const auto& c : cases) {
    const std::string image = (fs::path(KD_SAMPLES) / c.name).string();
    const Outcome o = Run({"data2", image});
    EXPECT_EQ(o.status, 0) << c.name << ": " << o.err;
    const std::vector<std::string> lines = Lines(o.out);
    ASSERT_GE(lines.size(), 1u) << c.name;
    EXPECT_EQ(lines[0], "Блок,Дата,Время,Л1 [%],Л2 [%],Период,Датчик,Упр,Блкр,Контр.вх,Реле") << c.name;
    EXPECT_EQ(lines.size(), c.records + 1) << c.name;
    if (c.records > 0) EXPECT_EQ(lines.back().substr(0, 5), PadNumber4(c.records - 1) + ",") << c.name;
  }
  EXPECT_EQ(Run({"data2", (dir / "missing.512").string()}).status, 3);
  EXPECT_EQ(Run({"data2", (fs::path(KD_SAMPLES) / "crane-200.512").string(), "--signature", "x"}).status, 2);
}

// Each file format through --output-dir: the file named after the image, in its format.
TEST_F(CliTest, WritesEveryFormatIntoTheOutputFolder) {
  const std::string image = Image("крановый.512", Accepted());
  fs::create_directory(dir / "reports");
  const struct {
    const char* format;
    std::string starts_with;
  } cases[] = {{"xls", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"},
               {"doc", "{\\rtf1"},
               {"htm", "<!DOCTYPE HTML"},
               {"txt", " \xCD\xE0\xE8\xEC"},  // " Наим" in Windows-1251
               {"csv", "\xEF\xBB\xBF\" \xD0\x9D"},
               {"pdf", "%PDF-1.4\n"}};
  for (const auto& c : cases) {
    const Outcome o = Run({"data1", image, "--format", c.format, "--output-dir", (dir / "reports").string()});
    EXPECT_EQ(o.status, 0) << c.format << ": " << o.err;
    const std::string written = ReadText(dir / "reports" / (std::string("крановый.") + c.format));
    EXPECT_EQ(written.substr(0, c.starts_with.size()), c.starts_with) << c.format;
  }
}

// The printed event log of a full key: the crane named on the command line on every page, the
// image's fingerprint as sha256sum gives it, the page count at the foot of the last page.
TEST_F(CliTest, PdfOfAFullEventLog) {
  if (!test::HavePdfTools()) GTEST_SKIP() << "poppler-utils or qpdf is not installed";
  const fs::path image = fs::path(KD_SAMPLES) / "full-4675.512";
  const fs::path pdf = dir / "log.pdf";
  const Outcome o = Run({"data2", image.string(), "--format", "pdf", "--crane-name", "КС-3577 № 4", "--output",
                         pdf.string()});
  ASSERT_EQ(o.status, 0) << o.err;
  const std::vector<std::string> pages = test::PdfPages(pdf);
  ASSERT_EQ(test::PdfPageCount(pdf), static_cast<int>(pages.size()));
  for (const std::string& page : pages) EXPECT_NE(page.find("Кран: КС-3577 № 4"), std::string::npos);
  const std::string sha = test::RunCommand("sha256sum " + test::ShellQuote(image.string())).output.substr(0, 64);
  EXPECT_NE(pages.front().find(sha), std::string::npos);
  const std::string last = "Стр. " + std::to_string(pages.size()) + " из " + std::to_string(pages.size());
  EXPECT_NE(pages.back().find(last), std::string::npos) << last;
  EXPECT_NE(pages.back().find("4674"), std::string::npos);
  // The chart drawn on the first page, at some 200 dpi across the text.
  const std::vector<test::PdfImage> images = test::PdfImages(pdf);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].page, 1);
  EXPECT_GE(images[0].width, 1300);
  EXPECT_GT(images[0].width, images[0].height);  // across the page, not down it
  EXPECT_TRUE(test::HasLabelledValue(pages.front(), "Записей", "4675"));
  const auto checked = test::RunCommand("qpdf --check " + test::ShellQuote(pdf.string()));
  EXPECT_EQ(checked.status, 0) << checked.output;
}

// A log without records gets no chart: an empty plot tells nothing.
TEST_F(CliTest, PdfOfAnEmptyEventLogHasNoChart) {
  if (!test::HavePdfTools()) GTEST_SKIP() << "poppler-utils or qpdf is not installed";
  const fs::path pdf = dir / "empty.pdf";
  const Outcome o = Run({"data2", (fs::path(KD_SAMPLES) / "empty-log.512").string(), "--format", "pdf", "--output",
                         pdf.string()});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(test::PdfImages(pdf).empty());
  EXPECT_TRUE(test::HasLabelledValue(test::PdfText(pdf), "Записей", "0"));
}

// The window program answers --help and --version in the terminal, with no display needed.
TEST(AppStartTest, HelpAndVersionNeedNoDisplay) {
  const std::string app = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + test::ShellQuote(KD_APP);
  const test::CommandResult help = test::RunCommand(app + " --help");
  EXPECT_EQ(help.status, 0) << help.output;
  EXPECT_TRUE(help.output.starts_with("Использование: keydecoder")) << help.output;
  const test::CommandResult version = test::RunCommand(app + " --version");
  EXPECT_EQ(version.status, 0) << version.output;
  EXPECT_EQ(version.output, std::string("keydecoder ") + KD_VERSION + "\n");
  const test::CommandResult window = test::RunCommand(app);
  EXPECT_EQ(window.status, 1) << window.output;
  EXPECT_NE(window.output.find("нет дисплея"), std::string::npos) << window.output;
}

// A report must never replace one of the images it is made from, whatever the path says.
TEST_F(CliTest, AnOutputThatIsOneOfTheImagesIsRefusedBeforeAnythingIsWritten) {
  const KeyImage key = Accepted();
  const std::vector<std::uint8_t> bytes(key.begin(), key.end());
  const struct {
    const char* name;
    std::vector<std::string> args;  // KEY, OTHER and DIR stand for the paths
  } cases[] = {
      {"same path", {"data1", "KEY", "--output", "KEY"}},
      {"another spelling", {"data2", "KEY", "--output=DIR/./key.csv"}},
      {"symbolic link", {"data1", "KEY", "--output", "DIR/link.csv"}},
      {"hard link", {"data1", "KEY", "--format", "htm", "--output", "DIR/hard.htm"}},
      {"named after itself in the folder", {"data1", "OTHER", "KEY", "--output-dir", "DIR"}},
  };
  for (const auto& c : cases) {
    const std::string image = Image("key.csv", key);
    const std::string other = Image("other.512", key);
    fs::remove(dir / "link.csv");
    fs::remove(dir / "hard.htm");
    fs::create_symlink(image, dir / "link.csv");
    fs::create_hard_link(image, dir / "hard.htm");
    std::vector<std::string> args;
    for (std::string arg : c.args) {
      for (const auto& [from, to] : {std::pair{"KEY", image}, {"OTHER", other}, {"DIR", dir.path().string()}}) {
        if (const std::size_t at = arg.find(from); at != std::string::npos) arg.replace(at, std::strlen(from), to);
      }
      args.push_back(arg);
    }
    const Outcome o = Run(args);
    EXPECT_EQ(o.status, 3) << c.name;
    EXPECT_NE(o.err.find("Не удается создать файл ! (это файл образа ключа"), std::string::npos) << c.name << ": " << o.err;
    EXPECT_EQ(test::ReadBytes(image), bytes) << c.name;
    EXPECT_FALSE(fs::exists(dir / "other.csv")) << c.name;
  }
}

// The message says why an image could not be opened.
TEST_F(CliTest, AnImageThatCannotBeOpenedSaysWhy) {
  const std::string unreadable = Image("unreadable.512", Accepted());
  fs::permissions(unreadable, fs::perms::none);
  fs::create_directory(dir / "folder.512");
  ASSERT_EQ(::mkfifo((dir / "fifo.512").c_str(), 0644), 0);
  const struct {
    std::string path;
    const char* reason;
  } cases[] = {{(dir / "missing.512").string(), "нет такого файла"},
               {(dir / "folder.512").string(), "это папка"},
               {unreadable, "нет прав на чтение"},
               {(dir / "fifo.512").string(), "это не обычный файл"}};
  for (const auto& c : cases) {
    const Outcome o = Run({"data2", c.path});
    EXPECT_EQ(o.status, 3) << c.path;
    EXPECT_NE(o.err.find(c.path + ": Файл не удается открыть ! (" + c.reason + ")"), std::string::npos) << o.err;
  }
}

// Names and texts from the command line reach the terminal with their control characters shown.
TEST_F(CliTest, ControlCharactersInMessagesAreShownEscaped) {
  const struct {
    std::vector<std::string> args;
    const char* shown;
  } cases[] = {
      {{"data1", (dir / "\x1b[2Jkey\x07.512").string()}, "\\x1b[2Jkey\\x07.512: Файл не удается открыть !"},
      {{"data1", "k.512", "--\x1b]0;title"}, "неизвестный параметр --\\x1b]0;title"},
      {{"data1", "k.512", "--format", "\xc2\x9b" "31m\r"}, "неизвестный формат \\xc2\\x9b" "31m\\x0d"},
      {{"frob\x7f"}, "неизвестная команда frob\\x7f"},
  };
  for (const auto& c : cases) {
    const Outcome o = Run(c.args);
    EXPECT_NE(o.err.find(c.shown), std::string::npos) << o.err;
    for (char control : {'\x1b', '\x07', '\r', '\x7f', '\x9b'}) {
      EXPECT_EQ(o.err.find(control), std::string::npos) << c.shown;
    }
  }
}

// A typed text that a spreadsheet would run as a formula gets an apostrophe; the image's values do not.
TEST_F(CliTest, TypedTextsNeverBecomeFormulasInCsv) {
  const Outcome o = Run({"data1", Image("k.512", Accepted()), "--crane-name", "=HYPERLINK(\"http://x\")",
                         "--signature", "@cmd"});
  EXPECT_EQ(o.status, 0) << o.err;
  const std::vector<std::string> lines = Lines(o.out);
  ASSERT_EQ(lines.size(), 35u);
  EXPECT_EQ(lines[0], "\" Наименование крана, его номер:\",\"'=HYPERLINK(\"\"http://x\"\")\"");
  EXPECT_EQ(lines[33], " Подпись (ФИО):,'@cmd");
}

// Files get the UTF-8 byte-order mark spreadsheets need to see UTF-8; a pipe gets the plain text.
TEST_F(CliTest, CsvFilesStartWithAByteOrderMarkAndStandardOutputDoesNot) {
  const std::string image = Image("k.512", Accepted());
  const std::string piped = Run({"data1", image}).out;
  ASSERT_TRUE(piped.starts_with("\" \xD0\x9D")) << piped.substr(0, 8);
  fs::create_directory(dir / "reports");
  EXPECT_EQ(Run({"data1", image, "--output", (dir / "r.csv").string()}).status, 0);
  EXPECT_EQ(Run({"data1", image, "--output-dir", (dir / "reports").string()}).status, 0);
  for (const fs::path& file : {dir / "r.csv", dir / "reports" / "k.csv"}) {
    EXPECT_EQ(ReadText(file), "\xEF\xBB\xBF" + piped) << file;
  }

  // LibreOffice reading UTF-8 (as its import dialog picks on seeing the mark; headless it needs to
  // be told) takes the mark for what it is, not for part of the first cell.
  if (!fs::exists("/usr/bin/soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  const char* const kCsvUtf8 = "\"Text - txt - csv (StarCalc):44,34,76\"";
  const test::CommandResult converted = test::RunCommand(
      "cd " + test::ShellQuote(dir.path().string()) + " && HOME=" + test::ShellQuote(dir.path().string()) +
      " soffice -env:UserInstallation=file://" + dir.path().string() + "/lo --headless --infilter=" + kCsvUtf8 +
      " --convert-to csv:" + kCsvUtf8 + " --outdir lo-out r.csv");
  ASSERT_EQ(converted.status, 0) << converted.output;
  const std::string reread = ReadText(dir / "lo-out" / "r.csv");
  EXPECT_TRUE(reread.starts_with("\" Наименование крана, его номер:\",289\n")) << reread.substr(0, 80);
  EXPECT_NE(reread.find("\n Подпись (ФИО):,Фамилия И.О.\n"), std::string::npos) << reread;
}

// xls, doc and txt are not text a terminal can show: they go to a file or a pipe only.
TEST_F(CliTest, BinaryAndCp1251FormatsAreNotWrittenToATerminal) {
  const std::string image = Image("k.512", Accepted());
  for (const ExportFormat& format : kExportFormats) {
    // script gives the program a pseudo-terminal for standard output.
    const std::string inner = test::ShellQuote(KD_CLI) + " data1 " + test::ShellQuote(image) + " --format " +
                              format.name + " 2>" + test::ShellQuote((dir / "err").string());
    const test::CommandResult o = test::RunCommand("script -qec " + test::ShellQuote(inner) + " /dev/null");
    const std::string err = ReadText(dir / "err");
    if (format.readable_on_terminal) {
      EXPECT_EQ(o.status, 0) << format.name << ": " << err;
      EXPECT_NE(o.output.find("Наименование крана"), std::string::npos) << format.name;
    } else {
      EXPECT_EQ(o.status, 2) << format.name;
      EXPECT_NE(err.find("не выводится на терминал: задайте --output FILE"), std::string::npos) << err;
      EXPECT_LT(o.output.size(), 100u) << format.name;
    }
    // Through a pipe, every format goes out as it is.
    EXPECT_EQ(Run({"data1", image, "--format", format.name}).status, 0) << format.name;
  }
}

}  // namespace
}  // namespace kd
