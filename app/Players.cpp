#include "Players.h"

#include "DataFiles.h"
#include "PictureFiles.h"
#include "PictureSets.h"
#include "Recorder.h"
#include "Settings.h"

namespace app {

namespace {

Players* thePlayers = nullptr;

constexpr int kPicturesPerSet = kChildPictures / resources::picture_sets::kSetCount;

}  // namespace

QImage childPicture(int picture) {
    const int index = std::clamp(picture, 0, kChildPictures - 1);
    const std::vector<files::Picture> loaded = exercises::picture_files::loadSetPictures(
        {files::picturePath(index / kPicturesPerSet + 1, index % kPicturesPerSet + 1)});
    return loaded.empty() ? QImage() : loaded.front().image();
}

Players::Players(record::Recorder* recorder) : recorder_(recorder), current_(recorder) {}

const std::vector<record::Child>& Players::reload() {
    children_.clear();
    if (recorder_)
        recorder_->post([this](record::Store& store) { children_ = store.children(); });
    if (recorder_)
        recorder_->flush();
    return children_;
}

void Players::choose(const record::Child& child) {
    current_ = record::Player(recorder_, child);
    if (settings::current().level == settings::Level::Grows)
        settings::current().reachedLevel = child.level > 0 ? child.level : settings::kDefaultLevel;
}

void Players::chooseNobody() {
    current_ = record::Player(recorder_);
    settings::current().reachedLevel = settings::read().reachedLevel;
}

Players* players() {
    return thePlayers;
}

void setPlayers(Players* players) {
    thePlayers = players;
}

void chooseLevel(int level) {
    if (thePlayers && thePlayers->current().isChild() && settings::current().level == settings::Level::Grows) {
        thePlayers->current().setLevel(level);
        settings::current().reachedLevel = level;
        return;
    }
    settings::chooseLevel(level);
}

}  // namespace app
