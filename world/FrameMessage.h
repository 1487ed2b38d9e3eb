#pragma once

#include <string>

namespace Kelvo {

class FrameMessageManager;

// A named note one script leaves for the others on the world's message board.
// The board files it under a key made of the payload kind and the name, so a
// reader must ask with the same kind the poster used. Non-persistent messages
// live until the end of the frame they were posted in; persistent ones until a
// reader removes them or a newer message takes their key. Once posted, the
// board owns the message.
class FrameMessage {
public:
    // Payload kind numbers; they are also the first character of the key.
    enum Type {
        kString = 1,
        kTrigger = 2,
        kBulletHit = 3,
        kVector3D = 6,
        kVoidPtr = 9,
    };

    FrameMessage(const std::string& name, bool persistent);
    // Virtual because the board deletes every kind through this base.
    virtual ~FrameMessage();

    FrameMessage(const FrameMessage&) = delete;
    FrameMessage& operator=(const FrameMessage&) = delete;

    virtual int getType() const = 0;
    virtual std::string getName() const { return mName; }
    virtual std::string getKey() const { return makeKey(getType(), mName); }
    virtual void setPersistent(bool persistent) { mPersistent = persistent; }
    virtual bool isPersistent() const { return mPersistent; }
    // Asks the board to drop this message. The board only does so at its next
    // operation, so the caller may go on reading the payload until then.
    virtual void remove();
    virtual void setManager(FrameMessageManager* manager) { mManager = manager; }

    // The kind travels as a raw character (code 0 to 9, not a digit), which
    // keeps keys of different kinds apart even when the names match.
    static std::string makeKey(int type, const std::string& name);

    // Messages alive in the process; the menu's object census logs it, so
    // a board that forgets to delete its messages shows.
    static long liveCount() { return sLiveCount; }

private:
    static long sLiveCount;

    std::string mName;
    bool mPersistent;
    FrameMessageManager* mManager = nullptr;
};

} // namespace Kelvo
