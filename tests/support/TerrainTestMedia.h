#pragma once

// A small test terrain made from code: a 16-bit heightmap of a lopsided
// island (a steep mountain in the middle, a ridge in the north, the ground
// rising to the east), three noisy textures of clearly different colours and
// a configuration file that ties them together. Used by the terrain's window
// tests and benchmark; the game's own island comes from the media pipeline.
// Writing PNG files needs an image codec plug-in loaded.

#include <OgreColourValue.h>
#include <OgreImage.h>
#include <OgreMath.h>
#include <OgreResourceGroupManager.h>

#include "terrain/TerrainConfig.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace KelvoTest {

struct TerrainTestMedia {
    static constexpr const char* kConfigName = "paginglandscape2.cfg";
    static constexpr const char* kHeightmapName = "kelvo_test_height.png";
    static constexpr const char* kGrassName = "kelvo_test_grass.png";
    static constexpr const char* kRockName = "kelvo_test_rock.png";
    static constexpr const char* kSnowName = "kelvo_test_snow.png";
    // Two pages of 129 vertices: the 257 pixels of the heightmap fall
    // exactly on the terrain's vertices.
    static constexpr int kHeightmapSide = 257;
    static constexpr float kWorldSize = 1024.0f;
    static constexpr float kMinHeight = -10.0f;
    static constexpr float kMaxHeight = 150.0f;

    // The island's height from 0 to 1; u runs west to east, v north to south.
    static float islandHeight(float u, float v)
    {
        const float dx = u - 0.5f;
        const float dy = v - 0.5f;
        const float r = std::sqrt(dx * dx + dy * dy);
        const float mountain = 0.75f * std::pow(std::max(0.0f, 1.0f - r / 0.22f), 1.2f);
        const float ridge = 0.25f * std::exp(-std::pow((v - 0.15f) / 0.04f, 2.0f)) *
                            std::max(0.0f, std::min(1.0f, (u - 0.2f) * 3.0f));
        const float rising = 0.15f * u;
        const float ripples = 0.01f * std::sin(u * 40.0f) * std::sin(v * 40.0f);
        return std::min(1.0f, std::max(0.0f, 0.08f + mountain + ridge + rising + ripples));
    }

    // World position of a heightmap pixel (and terrain vertex).
    static float worldX(int column) { return -kWorldSize * 0.5f + column * kWorldSize / (kHeightmapSide - 1); }
    static float worldZ(int row) { return -kWorldSize * 0.5f + row * kWorldSize / (kHeightmapSide - 1); }

    // The height the heightmap stores for a pixel, after 16-bit rounding.
    static float storedHeight(int column, int row)
    {
        const float u = static_cast<float>(column) / (kHeightmapSide - 1);
        const float v = static_cast<float>(row) / (kHeightmapSide - 1);
        const float stored = std::round(islandHeight(u, v) * 65535.0f) / 65535.0f;
        return kMinHeight + (kMaxHeight - kMinHeight) * stored;
    }

    static void writeHeightmap(const std::string& path)
    {
        writeUnitHeightmap(path, [](int column, int row) {
            return islandHeight(static_cast<float>(column) / (kHeightmapSide - 1),
                                static_cast<float>(row) / (kHeightmapSide - 1));
        });
    }

    // A heightmap in place of the island's, for tests that need a known
    // ground: heightAt(x, z) gives the height in world units at a world
    // position, between kMinHeight and kMaxHeight.
    template <typename HeightAt>
    static void writeWorldHeightmap(const std::string& path, HeightAt heightAt)
    {
        writeUnitHeightmap(path, [&heightAt](int column, int row) {
            return (heightAt(worldX(column), worldZ(row)) - kMinHeight) / (kMaxHeight - kMinHeight);
        });
    }

    // unitAt(column, row) gives the stored height from 0 to 1.
    template <typename UnitAt>
    static void writeUnitHeightmap(const std::string& path, UnitAt unitAt)
    {
        std::vector<std::uint16_t> pixels(static_cast<size_t>(kHeightmapSide) * kHeightmapSide);
        for (int row = 0; row < kHeightmapSide; ++row) {
            for (int column = 0; column < kHeightmapSide; ++column) {
                pixels[static_cast<size_t>(row) * kHeightmapSide + column] =
                    static_cast<std::uint16_t>(std::round(unitAt(column, row) * 65535.0f));
            }
        }
        Ogre::Image image;
        image.loadDynamicImage(reinterpret_cast<Ogre::uchar*>(pixels.data()), kHeightmapSide, kHeightmapSide,
                               Ogre::PF_L16);
        image.save(path);
    }

    // A tileable noisy texture around a base colour.
    static void writeTexture(const std::string& path, const Ogre::ColourValue& base, float variation,
                             std::uint32_t seed, int side = 128)
    {
        std::vector<Ogre::uchar> pixels(static_cast<size_t>(side) * side * 3);
        std::uint32_t state = seed;
        auto next = [&state]() {
            state = state * 1664525u + 1013904223u;
            return static_cast<float>(state >> 8) / static_cast<float>(1u << 24);
        };
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const float wave = 0.5f + 0.5f * std::sin(x * Ogre::Math::TWO_PI * 4 / side) *
                                              std::sin(y * Ogre::Math::TWO_PI * 3 / side);
                const float shade = 1.0f + variation * (next() - 0.5f + (wave - 0.5f) * 0.5f);
                Ogre::uchar* pixel = &pixels[(static_cast<size_t>(y) * side + x) * 3];
                pixel[0] = static_cast<Ogre::uchar>(std::min(255.0f, std::max(0.0f, base.r * shade * 255.0f)));
                pixel[1] = static_cast<Ogre::uchar>(std::min(255.0f, std::max(0.0f, base.g * shade * 255.0f)));
                pixel[2] = static_cast<Ogre::uchar>(std::min(255.0f, std::max(0.0f, base.b * shade * 255.0f)));
            }
        }
        Ogre::Image image;
        image.loadDynamicImage(pixels.data(), side, side, Ogre::PF_BYTE_RGB);
        image.save(path);
    }

    static std::string configText(int pages = 2, int pageVertices = 129)
    {
        return "# KELVO test terrain\n"
               "Heightmap=" + std::string(kHeightmapName) + "\n"
               "WorldSize=1024\n"
               "MinHeight=-10\n"
               "MaxHeight=150\n"
               "Pages=" + std::to_string(pages) + "\n"
               "PageVertices=" + std::to_string(pageVertices) + "\n"
               "MaxPixelError=8\n"
               "CompositeMapDistance=200\n"
               "LoadRadius=1024\n"
               "LightMap=yes\n"
               "LightMapSize=256\n"
               "BlendMapSize=128\n"
               "LightDirection=0.6 -0.5 0.6\n"
               "Ambient=0.35 0.35 0.35\n"
               "Diffuse=1 1 1\n"
               "\n"
               "[Layer0]\n"
               "Texture=" + std::string(kGrassName) + "\n"
               "Size=24\n"
               "\n"
               "[Layer1]\n"
               "Texture=" + std::string(kRockName) + "\n"
               "Size=32\n"
               "MinSlope=30\n"
               "SlopeFade=6\n"
               "\n"
               "[Layer2]\n"
               "Texture=" + std::string(kSnowName) + "\n"
               "Size=32\n"
               "MinHeight=100\n"
               "HeightFade=8\n";
    }

    static void writeText(const std::string& path, const std::string& text)
    {
        std::ofstream file(path, std::ios::binary);
        file << text;
    }

    // The terrain's resource group as the game fills it: the engine's terrain
    // shaders and the folders they include, then the test's own media folder.
    static void addTerrainLocations(const std::string& folder)
    {
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        for (const char* engineMedia : {"/usr/share/OGRE/Media/Terrain", "/usr/share/OGRE/Media/RTShaderLib/GLSL",
                                        "/usr/share/OGRE/Media/ShadowVolume"}) {
            groups.addResourceLocation(engineMedia, "FileSystem", Kelvo::TerrainConfig::kResourceGroup);
        }
        groups.addResourceLocation(folder, "FileSystem", Kelvo::TerrainConfig::kResourceGroup);
    }

    static void writeAll(const std::string& folder)
    {
        writeHeightmap(folder + "/" + kHeightmapName);
        writeTexture(folder + "/" + kGrassName, Ogre::ColourValue(0.25f, 0.55f, 0.15f), 0.5f, 11);
        writeTexture(folder + "/" + kRockName, Ogre::ColourValue(0.45f, 0.35f, 0.28f), 0.6f, 23);
        writeTexture(folder + "/" + kSnowName, Ogre::ColourValue(0.92f, 0.94f, 0.98f), 0.15f, 37);
        writeText(folder + "/" + kConfigName, configText());
    }
};

} // namespace KelvoTest
