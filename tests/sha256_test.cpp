#include "io/sha256.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/run_command.h"

namespace kd {
namespace {

std::string Hex(std::string_view text) {
  return Sha256Hex({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// FIPS 180-4's examples, and lengths around the block and padding boundaries.
TEST(Sha256Test, StandardVectors) {
  const struct {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Hex(c.message), c.digest) << c.message.size() << " bytes";
}

// The fingerprint a printed report shows is what sha256sum says of the image file.
TEST(Sha256Test, MatchesSha256sumOfASample) {
#ifdef _WIN32
  GTEST_SKIP() << "sha256sum is Debian's";
#endif
  const std::filesystem::path sample = std::filesystem::path(KD_SAMPLES) / "crane-200.512";
  std::ifstream in(sample, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 65536u);
  const std::string expected = test::RunCommand("sha256sum " + test::ShellQuote(sample.string())).output.substr(0, 64);
  EXPECT_EQ(Sha256Hex(bytes), expected);
}

}  // namespace
}  // namespace kd
