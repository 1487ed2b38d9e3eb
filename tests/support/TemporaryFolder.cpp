#include "TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace KelvoTest {

namespace fs = std::filesystem;

TemporaryFolder::TemporaryFolder(const std::string& prefix)
{
    // mkdtemp picks a name no other process holds: tests run in parallel.
    const std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        throw std::runtime_error("cannot make a temporary folder " + pattern);
    }
    mPath = name.data();
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    fs::remove_all(mPath, ignored);
}

std::string TemporaryFolder::makeFolder(const std::string& name) const
{
    const std::string folder = file(name);
    fs::create_directories(folder);
    return folder;
}

void TemporaryFolder::clear() const
{
    for (const fs::directory_entry& entry : fs::directory_iterator(mPath)) {
        fs::remove_all(entry.path());
    }
}

} // namespace KelvoTest
