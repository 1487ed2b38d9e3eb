// Two rules of the source tree that the compiler cannot hold us to:
// - scripts and the world reach shared objects through their GameWorld, and
//   the scene library through what its loader is handed, never through a
//   singleton look-up (getSingletonPtr, the engine root's getSingleton);
// - input listeners are added and removed only where the rule in ScriptAtom.h
//   says: by ScriptAtom for the scripts, by the GameStateManager for itself.
// The folders are read as text, with comments taken out.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kSourceRoot = KELVO_TEST_DATA_DIR "/../../..";

// Folders whose code must reach everything through GameWorld or, in the
// scene library, through what the loader is handed; the editor's scripts
// too, but not its state, which builds their world as the play state does.
const char* const kWorldFolders[] = {"scripts", "world", "scene", "editor"};
const char* const kStatesAmongThem[] = {"editor/LevelEditorState.cpp"};

// The code of a source file without its // and /* */ comments, so a comment
// may name what the code must not do. String literals are kept as they are.
std::string withoutComments(const std::string& text)
{
    std::string code;
    code.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "//") == 0) {
            i = text.find('\n', i);
            if (i == std::string::npos) {
                break;
            }
            code += '\n';
        } else if (text.compare(i, 2, "/*") == 0) {
            const size_t end = text.find("*/", i + 2);
            if (end == std::string::npos) {
                break;
            }
            i = end + 1;
        } else {
            code += text[i];
        }
    }
    return code;
}

struct Finding {
    std::string file;
    int line;
    std::string text;
};

// Every line of the code that matches the pattern.
std::vector<Finding> findInCode(const std::string& file, const std::string& text, const std::regex& pattern)
{
    std::vector<Finding> findings;
    std::istringstream lines(withoutComments(text));
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (std::regex_search(line, pattern)) {
            findings.push_back({file, number, line});
        }
    }
    return findings;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The C++ sources and headers of a folder of the tree.
std::vector<fs::path> sourcesIn(const std::string& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(kSourceRoot) / folder)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".cpp" || extension == ".h") {
            files.push_back(entry.path());
        }
    }
    return files;
}

std::string describe(const std::vector<Finding>& findings)
{
    std::string text;
    for (const Finding& finding : findings) {
        text += finding.file + ":" + std::to_string(finding.line) + ": " + finding.text + "\n";
    }
    return text;
}

// A look-up is a qualified call; a class that declares its own accessor is
// not looking anything up.
const std::regex kSingletonLookup(R"((::|\.|->)\s*getSingletonPtr\s*\(|Root\s*::\s*getSingleton\s*\()");
const std::regex kListenerChange(R"(\b(add|remove)InputListener\s*\()");

TEST(SourceRulesTest, TheLookupPatternFindsLookupsInCodeButNotInComments)
{
    const std::string sample = "// never Application::getSingletonPtr() here\n"
                               "int a = 0; /* nor Ogre::Root::getSingleton() */\n"
                               "Kelvo::Application* app = Kelvo::Application::getSingletonPtr ();\n"
                               "Ogre::Root& root = Ogre::Root::getSingleton();\n"
                               "auto* loader = world->getSceneLoader();\n"
                               "    static SceneLoader* getSingletonPtr() { return sInstance; }\n"
                               "auto* sounds = owner->getSingletonPtr();\n";
    const std::vector<Finding> findings = findInCode("sample.cpp", sample, kSingletonLookup);
    ASSERT_EQ(3u, findings.size()) << describe(findings);
    EXPECT_EQ(3, findings[0].line);
    EXPECT_EQ(4, findings[1].line);
    EXPECT_EQ(7, findings[2].line);
}

TEST(SourceRulesTest, ScriptsTheWorldAndTheSceneLibraryUseNoSingletonLookups)
{
    std::vector<Finding> findings;
    size_t files = 0;
    for (const char* folder : kWorldFolders) {
        for (const fs::path& path : sourcesIn(folder)) {
            const std::string name = std::string(folder) + "/" + path.filename().string();
            if (std::find(std::begin(kStatesAmongThem), std::end(kStatesAmongThem), name) !=
                std::end(kStatesAmongThem)) {
                continue;
            }
            ++files;
            const std::vector<Finding> found = findInCode(name, readFile(path), kSingletonLookup);
            findings.insert(findings.end(), found.begin(), found.end());
        }
    }
    EXPECT_GT(files, 20u) << "the folders were not found under " << kSourceRoot;
    EXPECT_TRUE(findings.empty()) << "singleton look-ups (reach them through GameWorld or hand them in):\n"
                                  << describe(findings);
}

TEST(SourceRulesTest, OnlyScriptAtomAndTheStateManagerAddOrRemoveInputListeners)
{
    const std::vector<std::string> allowed = {"app/Application.h", "app/Application.cpp", "world/InputListeners.h",
                                              "world/ScriptAtom.cpp",
                                              "states/GameStateManager.cpp"};
    std::vector<Finding> findings;
    for (const char* folder : {"app", "states", "world", "scripts", "scene", "gui", "effects", "editor"}) {
        for (const fs::path& path : sourcesIn(folder)) {
            const std::string name = std::string(folder) + "/" + path.filename().string();
            if (std::find(allowed.begin(), allowed.end(), name) != allowed.end()) {
                continue;
            }
            const std::vector<Finding> found = findInCode(name, readFile(path), kListenerChange);
            findings.insert(findings.end(), found.begin(), found.end());
        }
    }
    EXPECT_TRUE(findings.empty()) << "input listeners changed outside the rule of ScriptAtom.h:\n"
                                  << describe(findings);
}

} // namespace
