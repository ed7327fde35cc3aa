#include "Player.h"

#include "Recorder.h"

namespace record {

void Player::setLevel(int level) {
    if (!isChild() || child_.level == level)
        return;
    child_.level = level;
    if (recorder_)
        recorder_->post([child = child_](Store& store) { store.updateChild(child); });
}

void Player::puzzleStarted(Puzzle puzzle) const {
    if (!recorder_)
        return;
    puzzle.child = child_.id;
    recorder_->puzzleStarted(puzzle);
}

void Player::answered(const Answer& answer) const {
    if (recorder_)
        recorder_->answered(answer);
}

}  // namespace record
