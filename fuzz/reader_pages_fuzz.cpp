// The reader link's page logic fed any sequence of replies, without a port: page 0 from the first
// 128 bytes, then for each further page a byte saying whether it came, and its 128 bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "reader/page_transfer.h"

namespace {

kd::KeyImage Older() {
  kd::KeyImage image;
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 31 + 7);
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kd::kImagePageSize) return 0;
  static const kd::KeyImage older = Older();
  kd::KeyImage image = older;
  kd::reader::PageTransfer transfer(image);
  const auto first = transfer.TakeFirstPage(kd::reader::PageBytes(data, kd::kImagePageSize));

  std::size_t used_pages = 1;
  if (first == kd::reader::PageTransfer::FirstPage::kAccepted) {
    if (transfer.ExtraPages() < 1 || transfer.ExtraPages() > 511) std::abort();
    used_pages += transfer.ExtraPages();
    std::size_t pos = kd::kImagePageSize;
    while (pos < size && !transfer.Done()) {
      const bool came = data[pos++] & 1;
      if (came && size - pos >= kd::kImagePageSize) {
        transfer.TakeNextPage(kd::reader::PageBytes(data + pos, kd::kImagePageSize));
        pos += kd::kImagePageSize;
      } else {
        transfer.SkipNextPage();
      }
    }
    // A caller that goes on past the last page writes nothing more.
    if (transfer.Done()) transfer.TakeNextPage(kd::reader::PageBytes(data, kd::kImagePageSize));
    if (transfer.PageNumber() > transfer.ExtraPages() + 1) std::abort();
  }
  // Page 0 is what came; nothing past the transfer's pages changed.
  for (std::size_t i = 0; i < kd::kImagePageSize; ++i) {
    if (image[i] != data[i]) std::abort();
  }
  for (std::size_t i = used_pages * kd::kImagePageSize; i < image.size(); ++i) {
    if (image[i] != older[i]) std::abort();
  }
  return 0;
}
