#pragma once
// Who is playing: one child of the record, or nobody in particular when the
// parent has made no children. The player owns what belongs to that child (the
// level reached growing, their part of the record) and is handed to whatever
// needs it.

#include "RecordStore.h"

namespace record {

class Recorder;

class Player {
public:
    // Nobody in particular; `recorder` may be null (nothing is recorded).
    explicit Player(Recorder* recorder = nullptr) : recorder_(recorder) {}
    Player(Recorder* recorder, Child child) : recorder_(recorder), child_(std::move(child)) {}

    bool isChild() const { return child_.id > 0; }
    const Child& child() const { return child_; }

    // The level the child has grown to; 0 for nobody in particular, or a
    // child who has not grown yet.
    int level() const { return child_.level; }
    // Keeps it in the child's row; nothing for nobody in particular.
    void setLevel(int level);

    // This player's puzzle, and its answers.
    void puzzleStarted(Puzzle puzzle) const;
    void answered(const Answer& answer) const;

private:
    Recorder* recorder_ = nullptr;
    Child child_;
};

}  // namespace record
