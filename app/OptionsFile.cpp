#include "app/OptionsFile.h"

#include <cstdio>
#include <set>

namespace Kelvo {

namespace {

struct RenderOptionRow {
    const char* key;
    const char* engineName;
};

// The settings the game keeps from the render system, by file key.
const RenderOptionRow kRenderOptionRows[] = {
    {"resolution", "Video Mode"},
    {"fullscreen", "Full Screen"},
    {"vsync", "VSync"},
    {"deviceName", "Rendering Device"},
};

// Order of the "key=value" lines in a written file.
const char* const kWriteOrder[] = {"fullscreen", "vsync", "resolution", "texturefilter", "deviceName"};

const int kLineBufferSize = 256;

} // namespace

const char* const OptionsFile::kTextureFilterKey = "texturefilter";

OptionTable OptionsFile::makeTable(const Ogre::ConfigOptionMap& renderSystemOptions)
{
    OptionTable table;
    for (const RenderOptionRow& row : kRenderOptionRows) {
        auto found = renderSystemOptions.find(row.engineName);
        if (found == renderSystemOptions.end()) {
            continue;
        }
        OptionEntry entry;
        entry.key = row.key;
        entry.engineName = row.engineName;
        entry.value = found->second.currentValue;
        entry.allowedValues.assign(found->second.possibleValues.begin(), found->second.possibleValues.end());
        entry.valid = true;
        table[entry.key] = entry;
    }
    OptionEntry filter;
    filter.key = kTextureFilterKey;
    filter.engineName = kTextureFilterKey;
    filter.value = "Bilinear";
    filter.allowedValues = {"Bilinear", "Trilinear", "Anisotropic 2x", "Anisotropic 4x", "Anisotropic 8x"};
    filter.valid = true;
    table[filter.key] = filter;
    return table;
}

bool OptionsFile::read(const std::string& path, OptionTable& table)
{
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        return false;
    }
    // fgets with a fixed buffer: an over-long line arrives in pieces and each
    // piece counts as a line of its own, which makes such a file unusable.
    char buffer[kLineBufferSize];
    int settingLines = 0;
    std::set<std::string> keysRead;
    bool usable = true;
    while (std::fgets(buffer, sizeof(buffer), file)) {
        std::string line(buffer);
        if (!line.empty() && line[0] == '#') {
            continue;
        }
        if (++settingLines > kMaxSettingLines) {
            usable = false;
            break;
        }
        // Only the line end is cut off: a last line without a line feed
        // keeps its whole value.
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string::size_type equals = line.find('=');
        const std::string key = line.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : line.substr(equals + 1);
        auto entry = table.find(key);
        if (entry == table.end()) {
            continue;
        }
        if (!entry->second.assign(value)) {
            usable = false;
            break;
        }
        keysRead.insert(key);
    }
    std::fclose(file);
    return usable && keysRead.size() == table.size();
}

std::string OptionsFile::timeLine(const std::tm& now)
{
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "# %.00i:%.00i:%.00i file created..\n", now.tm_hour, now.tm_min, now.tm_sec);
    return buffer;
}

bool OptionsFile::write(const std::string& path, const OptionTable& table, const std::tm& now)
{
    // Written beside the file and renamed over it: a full disk or a crash
    // half-way leaves the old file whole.
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (!file) {
        return false;
    }
    std::fputs("# Author: Orvelt\n", file);
    std::fputs(timeLine(now).c_str(), file);
    for (const char* key : kWriteOrder) {
        // A setting the render system does not offer is written empty, so
        // the file keeps its seven lines on every platform.
        auto entry = table.find(key);
        const std::string value = entry == table.end() ? std::string() : entry->second.value;
        std::fprintf(file, "%s=%s\n", key, value.c_str());
    }
    const bool ok = std::fflush(file) == 0 && std::ferror(file) == 0;
    if (std::fclose(file) != 0 || !ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

OptionsFile::TextureFiltering OptionsFile::textureFilteringFor(const std::string& value)
{
    if (value.find("Bilinear") != std::string::npos) {
        return {Ogre::TFO_BILINEAR, 1};
    }
    if (value.find("Trilinear") != std::string::npos) {
        return {Ogre::TFO_TRILINEAR, 1};
    }
    if (value.find("Anisotropic 2x") != std::string::npos) {
        return {Ogre::TFO_ANISOTROPIC, 2};
    }
    if (value.find("Anisotropic 4x") != std::string::npos) {
        return {Ogre::TFO_ANISOTROPIC, 4};
    }
    if (value.find("Anisotropic 8x") != std::string::npos) {
        return {Ogre::TFO_ANISOTROPIC, 8};
    }
    // Unreachable with a table value; the engine default stays.
    return {Ogre::TFO_BILINEAR, 1};
}

} // namespace Kelvo
