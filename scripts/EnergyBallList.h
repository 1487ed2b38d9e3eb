#pragma once

#include <map>
#include <string>
#include <vector>

namespace Kelvo {

class EnergyBall;

// The balls of a running world, by id text, and the ones waiting to be
// deleted. A ball registers itself when it is made and asks to be deleted
// from inside its own update; the list deletes it at the start of its next
// update, never while it runs. Owns its balls; owned by EnergieBallScript,
// which updates it once per frame and deletes it (and with it every ball
// still flying) when the play ends.
class EnergyBallList {
public:
    using BallMap = std::map<std::string, EnergyBall*>;

    EnergyBallList() = default;
    ~EnergyBallList();

    EnergyBallList(const EnergyBallList&) = delete;
    EnergyBallList& operator=(const EnergyBallList&) = delete;

    void add(EnergyBall* ball);
    void requestDelete(EnergyBall* ball);
    void update(float dt);

    const BallMap& balls() const { return mBalls; }
    std::size_t size() const { return mBalls.size(); }

private:
    void deleteQueued();

    BallMap mBalls;
    std::vector<EnergyBall*> mDeleteQueue;
};

} // namespace Kelvo
