#include "scripts/EnergyBallList.h"

#include "scripts/EnergyBall.h"

#include <algorithm>

namespace Kelvo {

EnergyBallList::~EnergyBallList()
{
    for (auto& entry : mBalls) {
        delete entry.second;
    }
}

void EnergyBallList::add(EnergyBall* ball)
{
    mBalls[ball->getIdText()] = ball;
}

void EnergyBallList::requestDelete(EnergyBall* ball)
{
    if (std::find(mDeleteQueue.begin(), mDeleteQueue.end(), ball) == mDeleteQueue.end()) {
        mDeleteQueue.push_back(ball);
    }
}

void EnergyBallList::deleteQueued()
{
    for (EnergyBall* ball : mDeleteQueue) {
        auto found = mBalls.find(ball->getIdText());
        if (found != mBalls.end() && found->second == ball) {
            mBalls.erase(found);
            delete ball;
        }
    }
    mDeleteQueue.clear();
}

void EnergyBallList::update(float dt)
{
    deleteQueued();
    for (auto& entry : mBalls) {
        entry.second->update(dt);
    }
}

} // namespace Kelvo
