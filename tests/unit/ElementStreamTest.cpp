#include "scene/ElementStream.h"

#include <gtest/gtest.h>
#include <expat.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using Kelvo::ElementStream;

namespace {

// Every element as one line: "<name a=1 b=2" for a start, "/name" for an end.
struct ElementLog : ElementStream::Visitor {
    void startElement(const char* name, const char** attributes) override
    {
        std::string line = std::string("<") + name;
        for (size_t i = 0; attributes[i]; i += 2) {
            line += std::string(" ") + attributes[i] + "=" + attributes[i + 1];
        }
        lines.push_back(line);
    }
    void endElement(const char* name) override { lines.push_back(std::string("/") + name); }

    std::vector<std::string> lines;
};

// What expat hands straight to its handlers on this thread, the yardstick.
std::vector<std::string> readDirectly(const std::string& text)
{
    ElementLog log;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &log);
    XML_SetStartElementHandler(parser, [](void* log, const char* name, const char** attributes) {
        static_cast<ElementLog*>(log)->startElement(name, attributes);
    });
    XML_SetEndElementHandler(parser,
                             [](void* log, const char* name) { static_cast<ElementLog*>(log)->endElement(name); });
    XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1);
    XML_ParserFree(parser);
    return log.lines;
}

// Many more elements than one hand-over holds, with empty, long and
// non-ASCII values.
std::string largeScene()
{
    std::ostringstream text;
    text << "<kelvo_scene>\n";
    for (int i = 0; i < 1500; ++i) {
        text << "<entity name=\"e" << i << "\" filename=\"" << std::string(i % 97, 'm')
             << ".mesh\" parent=\"\"><position x=\"" << i << "\" y=\"-0.5\" z=\"Ä\"/><type name=\"Tür\"/></entity>\n";
    }
    text << "<shadow/></kelvo_scene>\n";
    return text.str();
}

} // namespace

TEST(ElementStream, HandsOverEveryElementInTheFilesOrderAsExpatReadsIt)
{
    const std::string text = largeScene();
    ElementLog log;
    ElementStream stream(text);
    EXPECT_TRUE(stream.visit(log));
    const std::vector<std::string> expected = readDirectly(text);
    ASSERT_EQ(1500u * 6 + 4, expected.size());
    EXPECT_EQ(expected, log.lines);
    EXPECT_EQ("<entity name=e1499 filename=" + std::string(1499 % 97, 'm') + ".mesh parent=", log.lines[1 + 1499 * 6]);
}

TEST(ElementStream, ABrokenFileGivesWhereItBrokeOffAfterTheElementsBeforeIt)
{
    const std::string text = largeScene().substr(0, 40000) + "<entity name=\"x\" <broken";
    ElementLog log;
    ElementStream stream(text);
    EXPECT_FALSE(stream.visit(log));
    EXPECT_EQ(readDirectly(text), log.lines);
    EXPECT_GT(log.lines.size(), 600u);
    EXPECT_EQ(1u + std::count(text.begin(), text.end(), '\n'), stream.errorLine());
    EXPECT_GT(stream.errorColumn(), 0u);
    EXPECT_FALSE(stream.errorText().empty());

    ElementLog empty;
    const std::string noText;
    ElementStream nothing(noText);
    EXPECT_FALSE(nothing.visit(empty));
    EXPECT_TRUE(empty.lines.empty());
}

TEST(ElementStream, AVisitorThatThrowsLeavesTheReadingThreadStoppedAndJoined)
{
    struct Throwing : ElementLog {
        void startElement(const char* name, const char** attributes) override
        {
            ElementLog::startElement(name, attributes);
            if (lines.size() == 10) {
                throw std::runtime_error("no room");
            }
        }
    } visitor;
    std::string text = "<kelvo_scene>";
    for (int i = 0; i < 200000; ++i) {
        text += "<type name=\"t\"/>";
    }
    text += "</kelvo_scene>";
    EXPECT_THROW(
        {
            ElementStream stream(text);
            stream.visit(visitor);
        },
        std::runtime_error);
    EXPECT_EQ(10u, visitor.lines.size());
}
