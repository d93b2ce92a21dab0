#include "key_session.h"

#include <algorithm>

#include "io/file_checks.h"

namespace kd {

void KeySession::Replace(const KeyImage& image, KeySource source) {
  image_ = image;
  source_ = std::move(source);
  // A listener may subscribe or unsubscribe others: those present at the start and still there
  // when their turn comes are told.
  std::vector<std::size_t> ids;
  for (const Entry& entry : *listeners_) ids.push_back(entry.id);
  for (const std::size_t id : ids) {
    const auto it = std::find_if(listeners_->begin(), listeners_->end(), [id](const Entry& e) { return e.id == id; });
    if (it != listeners_->end()) {
      const Listener listener = it->listener;  // the entry may go while it runs
      listener();
    }
  }
}

KeySession::Subscription KeySession::Subscribe(Listener listener) {
  const std::size_t id = next_id_++;
  listeners_->push_back({id, std::move(listener)});
  // The handle holds the list weakly: a subscription may outlive the session.
  std::weak_ptr<std::vector<Entry>> list = listeners_;
  return std::shared_ptr<void>(nullptr, [list, id](void*) {
    if (auto entries = list.lock()) {
      std::erase_if(*entries, [id](const Entry& e) { return e.id == id; });
    }
  });
}

bool IsSourceFile(const KeySession& session, const std::filesystem::path& path) {
  return session.Source().kind == KeySource::Kind::kFile && SameFile(session.Source().path, path);
}

}  // namespace kd
