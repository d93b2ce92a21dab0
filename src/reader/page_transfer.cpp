#include "page_transfer.h"

#include <algorithm>

#include "image/header.h"
#include "protocol.h"

namespace kd::reader {

PageTransfer::FirstPage PageTransfer::TakeFirstPage(PageBytes page) {
  std::copy(page.begin(), page.end(), image_.begin());
  if (image_[header::kSignature] != header::kSignatureFirst ||
      image_[header::kSignature + 1] != header::kSignatureSecond) {
    return FirstPage::kNotIdentified;
  }
  const std::uint32_t extra = ExtraPageCount(BlockCount(image_));
  if (extra > kMaxExtraPages) return FirstPage::kWrongLength;
  extra_pages_ = extra;
  page_number_ = 1;
  offset_ = kImagePageSize;
  return FirstPage::kAccepted;
}

void PageTransfer::TakeNextPage(PageBytes page) {
  // Never past the image, whatever the caller does: the page count is at most 511.
  if (Done()) return;
  std::copy(page.begin(), page.end(), image_.begin() + static_cast<std::ptrdiff_t>(offset_));
  SkipNextPage();
}

void PageTransfer::SkipNextPage() {
  offset_ += kImagePageSize;
  ++page_number_;
}

}  // namespace kd::reader
