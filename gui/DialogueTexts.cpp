#include "gui/DialogueTexts.h"

#include "platform/Log.h"

#include <OgreResourceGroupManager.h>
#include <OgreStringConverter.h>

#include <set>
#include <sstream>

namespace Kelvo {

const char* const DialogueTexts::kFileName = "dialogue_de.txt";
const char* const DialogueTexts::kGroup = "General";

namespace {

const char* const kSpokenFormSuffix = ".say";

std::string trimmed(const std::string& text)
{
    const char* const blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool isKeyCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

bool DialogueTexts::load()
{
    // Windows on CEGUI's null renderer (tests) may have no engine at all.
    Ogre::ResourceGroupManager* engineGroups = Ogre::ResourceGroupManager::getSingletonPtr();
    if (!engineGroups || !engineGroups->resourceGroupExists(kGroup) ||
        !engineGroups->resourceExists(kGroup, kFileName)) {
        logWarning(std::string("DialogueTexts: no '") + kFileName + "' in the group '" + kGroup +
                   "'; the lines have no subtitles");
        return false;
    }
    std::istringstream in(engineGroups->openResource(kFileName, kGroup)->getAsString());
    read(in, kFileName);
    logLine("DialogueTexts: " + Ogre::StringConverter::toString(mTexts.size()) + " texts from " + kFileName);
    return true;
}

void DialogueTexts::read(std::istream& in, const std::string& sourceName)
{
    std::set<std::string> doubled;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string text = trimmed(line);
        if (text.empty() || text[0] == '#' || text[0] == '[') {
            continue;
        }
        const std::size_t equals = text.find('=');
        const std::string key = equals == std::string::npos ? std::string() : trimmed(text.substr(0, equals));
        bool keyUsable = !key.empty();
        for (char c : key) {
            keyUsable = keyUsable && isKeyCharacter(c);
        }
        const std::string where = sourceName + " line " + Ogre::StringConverter::toString(number);
        if (!keyUsable) {
            logWarning("DialogueTexts: " + where + " is no 'KEY = TEXT' line, left out");
            continue;
        }
        if (endsWith(key, kSpokenFormSuffix)) {
            continue;
        }
        const std::string value = trimmed(text.substr(equals + 1));
        if (value.empty()) {
            logWarning("DialogueTexts: " + where + " gives '" + key + "' no text, left out");
            continue;
        }
        if (doubled.count(key) || mTexts.count(key)) {
            // Which of two texts is meant is not known: neither is shown.
            logWarning("DialogueTexts: " + where + " gives '" + key + "' a second text; it has none");
            mTexts.erase(key);
            doubled.insert(key);
            continue;
        }
        mTexts[key] = value;
    }
}

const std::string* DialogueTexts::find(const std::string& key) const
{
    auto found = mTexts.find(key);
    return found == mTexts.end() ? nullptr : &found->second;
}

} // namespace Kelvo
