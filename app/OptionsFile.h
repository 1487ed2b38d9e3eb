#pragma once

#include "app/OptionEntry.h"

#include <OgreCommon.h>
#include <OgreConfigOptionMap.h>

#include <ctime>
#include <string>

namespace Kelvo {

// Reads and writes "options.cfg" and turns the render system's configuration
// options into the option table. The Application uses it at set-up and the
// menu's options dialog through Application::saveOptions.
//
// The file is seven lines: two comments (author and time of writing) and
// five "key=value" lines. Reading is strict on purpose: anything but exactly
// the table's settings with allowed values makes the file unusable, and the
// caller rewrites it from the table.
class OptionsFile {
public:
    // Texture filtering chosen by the "texturefilter" value.
    struct TextureFiltering {
        Ogre::TextureFilterOptions filter;
        unsigned int anisotropy;
    };

    static const int kMaxSettingLines = 5;
    static const char* const kTextureFilterKey;

    // Builds the table: one row per render system option the game keeps
    // (only those the render system offers), plus the texture filter row.
    static OptionTable makeTable(const Ogre::ConfigOptionMap& renderSystemOptions);

    // Reads the file into the table. Returns true when the file exists and
    // every row of the table was read with an allowed value. Values read
    // before a failure stay in the table.
    static bool read(const std::string& path, OptionTable& table);

    // Writes the seven lines from the table into a temporary file and
    // renames it over the file. Returns false (the old file untouched) when
    // that cannot be done.
    static bool write(const std::string& path, const OptionTable& table, const std::tm& now);

    // The second line of the file: "# H:M:S file created..", where a field
    // whose value is 0 prints as nothing.
    static std::string timeLine(const std::tm& now);

    static TextureFiltering textureFilteringFor(const std::string& value);
};

} // namespace Kelvo
