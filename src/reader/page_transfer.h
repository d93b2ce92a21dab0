#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "image/key_image.h"

namespace kd::reader {

using PageBytes = std::span<const std::uint8_t, kImagePageSize>;

// What a transfer does with the pages the reader sends, apart from the line and its waits: page 0
// goes to offset 0 and decides how many further pages there are; each further page goes to the next
// offset, whether or not it came. Every other byte of the image keeps what it held, so a transfer
// that stops early leaves its new pages in front of older bytes. Plain C++: any sequence of replies
// can be fed to it without a port.
class PageTransfer {
 public:
  enum class FirstPage { kAccepted, kNotIdentified, kWrongLength };

  explicit PageTransfer(KeyImage& image) : image_(image) {}

  // Stores page 0 and checks it: the signature, then the page count from its BlockCount.
  FirstPage TakeFirstPage(PageBytes page);

  // The further pages to fetch, once page 0 was accepted.
  std::uint32_t ExtraPages() const { return extra_pages_; }
  // The number of the further page asked for next, from 1; above ExtraPages() when all were asked.
  std::uint32_t PageNumber() const { return page_number_; }
  bool Done() const { return page_number_ > extra_pages_; }

  // The further page came: stored at its offset. Then, as after SkipNextPage, on to the next one.
  void TakeNextPage(PageBytes page);
  // The further page did not come: its place keeps the older bytes.
  void SkipNextPage();

 private:
  KeyImage& image_;
  std::uint32_t extra_pages_ = 0;
  std::uint32_t page_number_ = 1;
  std::size_t offset_ = kImagePageSize;
};

}  // namespace kd::reader
