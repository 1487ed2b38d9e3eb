#include "world/FrameMessageManager.h"

#include "world/FrameMessage.h"

#include <vector>

namespace Kelvo {

FrameMessageManager::~FrameMessageManager()
{
    for (auto& entry : mMessages) {
        delete entry.second;
    }
}

void FrameMessageManager::completePendingRemoval()
{
    if (!mPending) {
        return;
    }
    mPending = false;
    auto found = mMessages.find(mPendingKey);
    if (found == mMessages.end()) {
        return;
    }
    delete found->second;
    mMessages.erase(found);
}

bool FrameMessageManager::post(FrameMessage* message)
{
    completePendingRemoval();
    if (!message) {
        return false;
    }
    FrameMessage*& slot = mMessages[message->getKey()];
    // The displaced message is unreachable once its key is taken; keeping it
    // would leak one message per repeated post (the editor posts its locator
    // every frame).
    if (slot != message) {
        delete slot;
    }
    slot = message;
    message->setManager(this);
    return true;
}

FrameMessage* FrameMessageManager::find(const std::string& name, int type)
{
    completePendingRemoval();
    auto found = mMessages.find(FrameMessage::makeKey(type, name));
    return found == mMessages.end() ? nullptr : found->second;
}

void FrameMessageManager::remove(FrameMessage* message)
{
    completePendingRemoval();
    if (!message) {
        return;
    }
    mPendingKey = message->getKey();
    mPending = true;
}

void FrameMessageManager::remove(const std::string& key)
{
    completePendingRemoval();
    mPendingKey = key;
    mPending = true;
}

void FrameMessageManager::sweep()
{
    completePendingRemoval();
    std::vector<std::string> doomed;
    for (const auto& entry : mMessages) {
        if (!entry.second || !entry.second->isPersistent()) {
            doomed.push_back(entry.first);
        }
    }
    // Each removal carries out the one before, so the last key stays filed
    // until the next call; every call clears it first, so nobody sees it.
    for (const std::string& key : doomed) {
        remove(key);
    }
}

} // namespace Kelvo
