#include "editor/PlaySceneCopy.h"

#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "scene/SceneText.h"

#include <OgreSceneNode.h>

namespace Kelvo {

const char* const PlaySceneCopy::kHeroType = "Player";
const char* const PlaySceneCopy::kHeroMesh = "hero.mesh";
const char* const PlaySceneCopy::kHeroName = "player";

namespace {

const char* const kSceneEnd = "</kelvo_scene>";

std::string positionLine(const Ogre::Vector3& position)
{
    // As EntityDescription writes it.
    return "\t\t\t<position" + SceneText::xyz(position) + " />\n";
}

std::string freeHeroName(const SceneLoader& loader)
{
    std::string name = PlaySceneCopy::kHeroName;
    for (int number = 2; loader.isNameTaken(name); ++number) {
        name = std::string(PlaySceneCopy::kHeroName) + "_" + std::to_string(number);
    }
    return name;
}

} // namespace

std::string PlaySceneCopy::withHeroAt(const SceneLoader& loader, const Ogre::Vector3& heroAt, std::string* heroName)
{
    std::string text = loader.sceneText();

    // The game takes the first hero it reads, so the first in the text moves.
    const EntityDescription* hero = nullptr;
    std::string heroXml;
    std::string::size_type heroOffset = std::string::npos;
    for (const auto& entry : loader.entities()) {
        const EntityDescription* entity = entry.second;
        if (entity->getType() != kHeroType) {
            continue;
        }
        const std::string xml = entity->toXml();
        const std::string::size_type offset = text.find(xml);
        if (offset != std::string::npos && (heroOffset == std::string::npos || offset < heroOffset)) {
            hero = entity;
            heroXml = xml;
            heroOffset = offset;
        }
    }

    if (hero) {
        // The file holds the position in the parent's space.
        Ogre::Vector3 local = heroAt;
        if (hero->getSceneNode() && hero->getSceneNode()->getParentSceneNode()) {
            local = hero->getSceneNode()->getParentSceneNode()->convertWorldToLocalPosition(heroAt);
        }
        std::string moved = heroXml;
        const std::string oldLine = positionLine(hero->currentPosition());
        const std::string::size_type line = moved.find(oldLine);
        if (line != std::string::npos) {
            moved.replace(line, oldLine.size(), positionLine(local));
            text.replace(heroOffset, heroXml.size(), moved);
            logLine("PlaySceneCopy: hero '" + hero->getName() + "' stands at " + vectorText(heroAt));
            if (heroName) {
                *heroName = hero->getName();
            }
            return text;
        }
    }

    const std::string name = freeHeroName(loader);
    const Ogre::Real noRotation[4] = {0, 0, 0, 1};
    EntityDescription added(name, false, kHeroMesh, true, true, EntityDescription::kDefaultFromMesh, kHeroType,
                            Ogre::Vector3::UNIT_SCALE, noRotation);
    added.setPosition(heroAt);
    const std::string block = "\t<entities>\n" + added.toXml() + "\t</entities>\n";
    const std::string::size_type end = text.rfind(kSceneEnd);
    text.insert(end == std::string::npos ? text.size() : end, block);
    logLine("PlaySceneCopy: the scene has no hero, '" + name + "' added at " + vectorText(heroAt));
    if (heroName) {
        *heroName = name;
    }
    return text;
}

} // namespace Kelvo
