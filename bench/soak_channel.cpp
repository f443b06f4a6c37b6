// The soak peer's model of #beginner.
#include "bench/soak_channel.h"

#include <algorithm>

namespace bench {

namespace {

const char* const kStems[] = {"ferro", "Nova", "quill", "Bram_", "oak[",  "Juno|", "vex^",
                              "Mira-", "tern", "Kestr", "wren`", "Saffi", "lumo{", "Pike"};

}  // namespace

SoakChannel::SoakChannel(std::mt19937_64& random, std::size_t usual_size)
    : random_(random),
      usual_size_(usual_size),
      stayers_{"@Warden", "@Keystone", "+Lumen", "+Bramble", "%Harbor"} {
  for (std::size_t i = 0; i < usual_size; ++i) churners_.push_back(NewNick());
}

std::string SoakChannel::NewNick() {
  const std::uint64_t number = next_nick_++;
  return std::string(kStems[number % std::size(kStems)]) + std::to_string(number);
}

std::string SoakChannel::AnyChurner() const {
  if (churners_.empty()) return {};
  return churners_[random_() % churners_.size()];
}

std::string SoakChannel::AnySpeaker() const {
  if (random_() % 8 == 0) return AnyStayer().substr(1);
  const std::string churner = AnyChurner();
  return churner.empty() ? AnyStayer().substr(1) : churner;
}

const std::string& SoakChannel::AnyStayer() const {
  return stayers_[random_() % stayers_.size()];
}

void SoakChannel::Join(const std::string& nick) {
  churners_.push_back(nick);
}

void SoakChannel::Leave(const std::string& nick) {
  const auto found = std::find(churners_.begin(), churners_.end(), nick);
  if (found == churners_.end()) return;
  *found = churners_.back();
  churners_.pop_back();
}

void SoakChannel::Rename(const std::string& old_nick, const std::string& new_nick) {
  const auto found = std::find(churners_.begin(), churners_.end(), old_nick);
  if (found != churners_.end()) *found = new_nick;
}

bool SoakChannel::JoinIsDue() const {
  // Even odds at the usual size, leaning back towards it either side.
  const double size = double(churners_.size());
  const double lean = (double(usual_size_) - size) / (2.0 * double(usual_size_));
  return std::uniform_real_distribution<double>(0, 1)(random_) < 0.5 + lean;
}

std::vector<std::string> SoakChannel::Names() const {
  std::vector<std::string> names = stayers_;
  names.insert(names.end(), churners_.begin(), churners_.end());
  std::shuffle(names.begin(), names.end(), random_);
  if (client_on_) {
    const std::size_t at = 1 + random_() % names.size();
    names.insert(names.begin() + std::ptrdiff_t(at), kClientNick);
  }
  return names;
}

}  // namespace bench
