#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Kelvo {

// Reads XML text with expat on a thread of its own and hands its elements
// over, in the order of the file, to the thread that asks for them. Reading
// the text costs about as much as building the scene from it, so the loader
// builds records from the first elements while the rest of the file is
// still being read: a large scene loads in the time of the slower of the
// two instead of their sum.
//
// The reading thread touches nothing but expat and its own copies of the
// names and values; everything the elements are used for stays on the
// caller's thread. The text must outlive the stream.
class ElementStream {
public:
    // What the caller gets for each element: a start tag with its
    // attributes (name, value, ..., null), or an end tag (attributes null).
    class Visitor {
    public:
        virtual ~Visitor() = default;
        virtual void startElement(const char* name, const char** attributes) = 0;
        virtual void endElement(const char* name) = 0;
    };

    explicit ElementStream(const std::string& text);
    // The reading thread keeps a reference: a temporary would be gone.
    explicit ElementStream(std::string&& text) = delete;
    // Stops the reading thread (a caller that left early, by an exception)
    // and waits for it.
    ~ElementStream();
    ElementStream(const ElementStream&) = delete;
    ElementStream& operator=(const ElementStream&) = delete;

    // Hands every element to the visitor, then answers whether the whole
    // text was well-formed. Elements read before an error are handed over
    // too, as expat itself would have called them.
    bool visit(Visitor& visitor);

    // Where and why the text broke off (after visit answered false).
    unsigned long errorLine() const { return mErrorLine; }
    unsigned long errorColumn() const { return mErrorColumn; }
    const std::string& errorText() const { return mErrorText; }

private:
    // A run of elements: their names and values one after another, each
    // ended by '\0', and for each element its attribute count (or kEndTag),
    // the offset of its name and the offsets of its names and values.
    struct Batch {
        std::string text;
        std::vector<std::uint32_t> layout;
    };
    static constexpr std::uint32_t kEndTag = 0xffffffffu;
    static constexpr size_t kElementsPerBatch = 256;

    void read(const std::string& text);
    static void startHandler(void* userData, const char* name, const char** attributes);
    static void endHandler(void* userData, const char* name);
    std::uint32_t keep(const char* text);
    void countElement();
    void handOver();

    std::thread mReader;
    std::mutex mMutex;
    std::condition_variable mReady;
    std::deque<std::unique_ptr<Batch>> mBatches;
    bool mFinished = false;
    std::atomic<bool> mStopAsked{false};

    // The reading thread's own.
    void* mParser = nullptr;
    std::unique_ptr<Batch> mFilling;
    size_t mFillingCount = 0;

    bool mWellFormed = false;
    unsigned long mErrorLine = 0;
    unsigned long mErrorColumn = 0;
    std::string mErrorText;
};

} // namespace Kelvo
