#include "scene/ElementStream.h"

#include <expat.h>

#include <cstring>

namespace Kelvo {

ElementStream::ElementStream(const std::string& text)
    : mFilling(new Batch())
{
    mReader = std::thread([this, &text] { read(text); });
}

ElementStream::~ElementStream()
{
    mStopAsked = true;
    if (mReader.joinable()) {
        mReader.join();
    }
}

void ElementStream::read(const std::string& text)
{
    XML_Parser parser = XML_ParserCreate_MM(nullptr, nullptr, nullptr);
    mParser = parser;
    XML_SetStartElementHandler(parser, &ElementStream::startHandler);
    XML_SetEndElementHandler(parser, &ElementStream::endHandler);
    XML_SetUserData(parser, this);
    const bool wellFormed = XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_OK;
    if (!wellFormed) {
        mErrorLine = XML_GetCurrentLineNumber(parser);
        mErrorColumn = XML_GetCurrentColumnNumber(parser);
        mErrorText = XML_ErrorString(XML_GetErrorCode(parser));
    }
    XML_ParserFree(parser);
    mParser = nullptr;

    handOver();
    std::lock_guard<std::mutex> lock(mMutex);
    mWellFormed = wellFormed;
    mFinished = true;
    mReady.notify_one();
}

std::uint32_t ElementStream::keep(const char* text)
{
    const std::uint32_t offset = static_cast<std::uint32_t>(mFilling->text.size());
    mFilling->text.append(text, std::strlen(text) + 1);
    return offset;
}

void ElementStream::startHandler(void* userData, const char* name, const char** attributes)
{
    ElementStream& stream = *static_cast<ElementStream*>(userData);
    if (stream.mStopAsked) {
        XML_StopParser(static_cast<XML_Parser>(stream.mParser), XML_FALSE);
        return;
    }
    std::uint32_t count = 0;
    while (attributes[count]) {
        ++count;
    }
    std::vector<std::uint32_t>& layout = stream.mFilling->layout;
    layout.push_back(count);
    layout.push_back(stream.keep(name));
    for (std::uint32_t i = 0; i < count; ++i) {
        layout.push_back(stream.keep(attributes[i]));
    }
    stream.countElement();
}

void ElementStream::endHandler(void* userData, const char* name)
{
    ElementStream& stream = *static_cast<ElementStream*>(userData);
    stream.mFilling->layout.push_back(kEndTag);
    stream.mFilling->layout.push_back(stream.keep(name));
    stream.countElement();
}

void ElementStream::countElement()
{
    if (++mFillingCount == kElementsPerBatch) {
        handOver();
    }
}

void ElementStream::handOver()
{
    if (mFillingCount == 0) {
        return;
    }
    std::unique_ptr<Batch> next(new Batch());
    next->text.reserve(mFilling->text.size());
    next->layout.reserve(mFilling->layout.size());
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mBatches.push_back(std::move(mFilling));
    }
    mReady.notify_one();
    mFilling = std::move(next);
    mFillingCount = 0;
}

bool ElementStream::visit(Visitor& visitor)
{
    std::deque<std::unique_ptr<Batch>> taken;
    std::vector<const char*> attributes;
    for (;;) {
        bool finished;
        {
            std::unique_lock<std::mutex> lock(mMutex);
            mReady.wait(lock, [this] { return !mBatches.empty() || mFinished; });
            taken.swap(mBatches);
            finished = mFinished;
        }
        for (const std::unique_ptr<Batch>& batch : taken) {
            const char* text = batch->text.data();
            const std::vector<std::uint32_t>& layout = batch->layout;
            for (size_t at = 0; at < layout.size();) {
                const std::uint32_t count = layout[at];
                const char* name = text + layout[at + 1];
                at += 2;
                if (count == kEndTag) {
                    visitor.endElement(name);
                    continue;
                }
                attributes.clear();
                for (std::uint32_t i = 0; i < count; ++i) {
                    attributes.push_back(text + layout[at + i]);
                }
                attributes.push_back(nullptr);
                at += count;
                visitor.startElement(name, attributes.data());
            }
        }
        taken.clear();
        // The last batch is handed over before the finish is marked, so a
        // finish seen here means everything has been visited.
        if (finished) {
            break;
        }
    }
    mReader.join();
    return mWellFormed;
}

} // namespace Kelvo
