#pragma once
// The full-screen pictures the game loads by name: the story pictures the
// play state cross-fades (material names as the play state asks for them,
// in the order it shows them) and the main menu's background image. The
// media check and the picture render test walk this table.

#include <string>
#include <vector>

namespace KelvoMedia {

constexpr unsigned kPictureWidth = 1024;
constexpr unsigned kPictureHeight = 768;

struct ExpectedPicture {
    std::string material;
    std::string texture;
    bool seeThrough = false;  // parts of it let the scene behind show (the credits lie over their scene)
};

inline const std::vector<ExpectedPicture>& storyPictures()
{
    static const std::vector<ExpectedPicture> pictures = [] {
        std::vector<ExpectedPicture> list = {{"KELVO/PRETITEL", "picture_pretitel.png"}, {"KELVO/TITEL", "picture_titel.png"}};
        for (int i = 1; i <= 8; ++i) {
            list.push_back({"KELVO/Intro" + std::to_string(i), "picture_intro" + std::to_string(i) + ".png"});
        }
        for (int i = 0; i <= 3; ++i) {
            list.push_back({"KELVO/Outro" + std::to_string(i), "picture_outro" + std::to_string(i) + ".png", i == 3});
        }
        list.push_back({"KELVO/GAMEOVER", "picture_gameover.png"});
        return list;
    }();
    return pictures;
}

inline const std::string& menuBackground()
{
    static const std::string name = "Menue_Background.png";
    return name;
}

// Full-screen images are drawn for the screen, not for mipmapped tiling:
// they need not be powers of two.
inline bool isFullScreenImage(const std::string& file)
{
    if (file == menuBackground()) {
        return true;
    }
    for (const ExpectedPicture& p : storyPictures()) {
        if (p.texture == file) {
            return true;
        }
    }
    return false;
}

} // namespace KelvoMedia
