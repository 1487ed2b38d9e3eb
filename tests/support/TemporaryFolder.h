#pragma once

// A folder of its own for one test or one test program, made fresh under the
// system's temporary folder and removed with everything in it when the
// object goes. Tests that write files (scenes, terrain media, captures) work
// only in one of these, never in the build folder or the tracked media, so
// tests running side by side never share a file.

#include <string>

namespace KelvoTest {

class TemporaryFolder {
public:
    // The prefix names the folder (e.g. "kelvo-scene") to help a reader of /tmp.
    explicit TemporaryFolder(const std::string& prefix);
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return mPath; }
    // A path inside the folder; sub-folders are the caller's to make.
    std::string file(const std::string& name) const { return mPath + "/" + name; }
    // Makes a sub-folder (and its parents) and returns its path.
    std::string makeFolder(const std::string& name) const;
    // Empties the folder, keeping the folder itself.
    void clear() const;

private:
    std::string mPath;
};

} // namespace KelvoTest
