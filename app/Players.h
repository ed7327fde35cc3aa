#pragma once
// The children a parent has made, and who is playing now. With no children
// nobody in particular plays, as the program always did; with one or more,
// the start screen asks who is playing first, and each child keeps their own
// level growing.

#include "Player.h"

#include <QImage>
#include <vector>

namespace record {
class Recorder;
}

namespace app {

// A child's picture is one of the program's own: every picture of the five
// picture sets, sixteen each.
inline constexpr int kChildPictures = 80;
QImage childPicture(int picture);

// Room on the start screen: as many children as a class has, and more.
inline constexpr int kMaxChildren = 48;

class Players {
public:
    // `recorder` may be null: nothing is recorded, no child is read.
    explicit Players(record::Recorder* recorder);

    // The children as the record holds them now (read again).
    const std::vector<record::Child>& reload();
    const std::vector<record::Child>& children() const { return children_; }
    record::Recorder* recorder() const { return recorder_; }

    // Who plays from now on: a child of children(), or nobody in particular.
    // A child's level growing is theirs: the run takes it up.
    void choose(const record::Child& child);
    void chooseNobody();
    record::Player& current() { return current_; }

private:
    record::Recorder* recorder_;
    std::vector<record::Child> children_;
    record::Player current_;
};

// The players of this run (set by the program at its start), or nullptr.
Players* players();
void setPlayers(Players* players);

// The level chosen on the menu: the child's while a child plays and the level
// grows, else as settings::chooseLevel.
void chooseLevel(int level);

}  // namespace app
