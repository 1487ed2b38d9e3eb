// Feeds arbitrary bytes to the options file reader as "options.cfg", against
// the option table the GL render system gives on this machine. Whatever the
// reader accepts must come back unchanged after writing it out and reading
// it again: a file the game rewrites must say what the game understood.
// Built with clang's libFuzzer, AddressSanitizer and UBSan (./setup.sh fuzz).

#include "app/OptionsFile.h"

#include <OgreConfigOptionMap.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>

namespace {

Ogre::ConfigOption option(const char* name, const char* current, std::initializer_list<const char*> values)
{
    Ogre::ConfigOption made;
    made.name = name;
    made.currentValue = current;
    for (const char* value : values) {
        made.possibleValues.push_back(value);
    }
    made.immutable = false;
    return made;
}

Kelvo::OptionTable freshTable()
{
    Ogre::ConfigOptionMap options;
    options["Full Screen"] = option("Full Screen", "No", {"No", "Yes"});
    options["VSync"] = option("VSync", "No", {"No", "Yes"});
    options["Video Mode"] = option("Video Mode", "1024 x  768", {"800 x  600", "1024 x  768", "1280 x 1024"});
    return Kelvo::OptionsFile::makeTable(options);
}

struct Scratch {
    Scratch()
    {
        char pattern[] = "/tmp/kelvo-options-fuzz-XXXXXX";
        folder = mkdtemp(pattern);
        input = folder + "/options.cfg";
        rewritten = folder + "/rewritten.cfg";
    }
    std::string folder;
    std::string input;
    std::string rewritten;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Scratch* scratch = new Scratch();
    std::FILE* file = std::fopen(scratch->input.c_str(), "wb");
    if (!file) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    Kelvo::OptionTable table = freshTable();
    const bool usable = Kelvo::OptionsFile::read(scratch->input, table);
    for (const auto& entry : table) {
        // Whatever was read, only allowed values may sit in the table: the
        // render system is handed them as they are.
        bool allowed = false;
        for (const std::string& value : entry.second.allowedValues) {
            allowed = allowed || value == entry.second.value;
        }
        if (!allowed) {
            std::fprintf(stderr, "option %s holds a value it does not allow: '%s'\n", entry.first.c_str(),
                         entry.second.value.c_str());
            std::abort();
        }
    }
    if (!usable) {
        return 0;
    }
    std::tm now = {};
    if (!Kelvo::OptionsFile::write(scratch->rewritten, table, now)) {
        std::abort();
    }
    Kelvo::OptionTable again = freshTable();
    if (!Kelvo::OptionsFile::read(scratch->rewritten, again)) {
        std::fprintf(stderr, "a usable file, rewritten, is no longer usable\n");
        std::abort();
    }
    for (const auto& entry : table) {
        if (again[entry.first].value != entry.second.value) {
            std::fprintf(stderr, "option %s changed on rewriting: '%s' -> '%s'\n", entry.first.c_str(),
                         entry.second.value.c_str(), again[entry.first].value.c_str());
            std::abort();
        }
    }
    return 0;
}
