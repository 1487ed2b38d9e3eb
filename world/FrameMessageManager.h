#pragma once

#include <map>
#include <string>

namespace Kelvo {

class FrameMessage;

// The world's message board: scripts post messages here and later scripts of
// the same frame look them up by name and kind. The script manager sweeps it
// after the last script of each frame, which drops every non-persistent
// message. Owns every message posted to it; owned by the GameWorld.
//
// Removal is deferred by one call: remove() only notes the key, and the next
// operation of any kind (post, find, remove, sweep) deletes it. A script may
// therefore remove the message it is reading and still use its payload until
// it next talks to the board.
class FrameMessageManager {
public:
    using MessageMap = std::map<std::string, FrameMessage*>;

    FrameMessageManager() = default;
    ~FrameMessageManager();

    FrameMessageManager(const FrameMessageManager&) = delete;
    FrameMessageManager& operator=(const FrameMessageManager&) = delete;

    // Takes ownership and files the message under its key. A message already
    // filed under that key is deleted: nobody can reach it any more.
    bool post(FrameMessage* message);
    // The message posted under that name with that kind, or null. The caller
    // casts it to the class the kind number stands for.
    FrameMessage* find(const std::string& name, int type);
    void remove(FrameMessage* message);
    void remove(const std::string& key);
    // End of frame: drops every message that is not persistent.
    void sweep();

    const MessageMap& messages() const { return mMessages; }

private:
    void completePendingRemoval();

    MessageMap mMessages;
    std::string mPendingKey;
    bool mPending = false;
};

} // namespace Kelvo
