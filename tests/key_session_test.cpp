#include "image/key_session.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace kd {
namespace {

TEST(KeySessionTest, StartsEmptyAndAnnouncesEachNewImageToWhoeverStillListens) {
  KeySession session;
  EXPECT_EQ(session.Image(), KeyImage{});
  EXPECT_EQ(session.Source().kind, KeySource::Kind::kNone);

  std::vector<std::string> heard;
  auto first = session.Subscribe([&] { heard.push_back("first:" + session.Source().path); });
  auto second = session.Subscribe([&] { heard.push_back("second"); });

  KeyImage image{};
  image[7] = 0x42;
  session.Replace(image, KeySource::File("a.512"));
  EXPECT_EQ(session.Image(), image);
  EXPECT_EQ(session.Source().kind, KeySource::Kind::kFile);
  EXPECT_EQ(heard, (std::vector<std::string>{"first:a.512", "second"}));

  second.reset();
  session.Replace(KeyImage{}, KeySource::Port("/dev/ttyUSB0", {}));
  EXPECT_EQ(heard.back(), "first:/dev/ttyUSB0");
  EXPECT_EQ(heard.size(), 3u);
}

// A listener that ends another's subscription while being told: the other is not called after.
TEST(KeySessionTest, ASubscriptionEndedDuringAnAnnouncementIsNotCalled) {
  KeySession session;
  int later_calls = 0;
  KeySession::Subscription later;
  auto ender = session.Subscribe([&] { later.reset(); });
  later = session.Subscribe([&] { ++later_calls; });
  session.Replace(KeyImage{}, {});
  EXPECT_EQ(later_calls, 0);
}

// The windows' subscriptions may outlive the session at shutdown.
TEST(KeySessionTest, ASubscriptionMayOutliveItsSession) {
  KeySession::Subscription kept;
  {
    KeySession session;
    kept = session.Subscribe([] {});
  }
  kept.reset();
}

}  // namespace
}  // namespace kd
