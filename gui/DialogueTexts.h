#pragma once

#include <istream>
#include <map>
#include <string>

namespace Kelvo {

// The German texts of the spoken lines, read from the table the media build
// copies into the "General" group as "dialogue_de.txt" (UTF-8): "KEY = TEXT"
// lines, where KEY is the line's sound name; "KEY.say = ..." (what the voice
// says instead, never shown), "[voice NAME]" headings, comments ("#") and
// blank lines are passed over. A line of any other form, or a key given
// twice, is logged with its line number and left out: a subtitle is shown
// only when its text is certain. The subtitle window owns one, read when the
// in-game windows come up.
class DialogueTexts {
public:
    static const char* const kFileName;
    static const char* const kGroup;

    // Reads the table from the resource group; false (logged) when it is
    // missing, and every line then goes without a subtitle.
    bool load();
    // Reads the table from a stream; the name is for the log lines.
    void read(std::istream& in, const std::string& sourceName);

    // The text of a line, or null when the table has none.
    const std::string* find(const std::string& key) const;
    std::size_t size() const { return mTexts.size(); }

private:
    std::map<std::string, std::string> mTexts;
};

} // namespace Kelvo
