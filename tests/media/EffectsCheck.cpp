// The headless media check of the effect scripts and the props: the
// loaders of their file types, and what the game's code asks for by name
// (faders, sky, water, gizmo, overlays, compositors, particle templates,
// entity types) with the properties that code relies on. The shaders
// themselves compile in the render test (kelvo_effects_render).

#include "EffectScripts.h"
#include "PropTable.h"

#include <OGRE/Ogre.h>
#include <OGRE/Overlay/OgreFontManager.h>
#include <OGRE/Overlay/OgreOverlay.h>
#include <OGRE/Overlay/OgreOverlayContainer.h>
#include <OGRE/Overlay/OgreOverlayManager.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

namespace KelvoMedia {

namespace {

const char* const kGroup = "General";

std::string readResource(const std::string& name)
{
    Ogre::DataStreamPtr stream = Ogre::ResourceGroupManager::getSingleton().openResource(name, kGroup);
    return stream->getAsString();
}

std::vector<Ogre::HighLevelGpuProgramPtr> programs()
{
    std::vector<Ogre::HighLevelGpuProgramPtr> out;
    auto it = Ogre::HighLevelGpuProgramManager::getSingleton().getResourceIterator();
    while (it.hasMoreElements()) {
        out.push_back(Ogre::static_pointer_cast<Ogre::HighLevelGpuProgram>(it.getNext()));
    }
    return out;
}

Ogre::MaterialPtr material(const std::string& name)
{
    return Ogre::MaterialManager::getSingleton().getByName(name, kGroup);
}

} // namespace

bool isEngineNamedMaterial(const std::string& name)
{
    static const std::set<std::string> names = {
        "Examples/FresnelReflectionRefraction", "Examples/GrassBlades", "Examples/SpaceSkyBox",
        "Ogre/Compositor/Combine", "Ogre/Compositor/Copyback", "Ogre/Compositor/MotionBlur"};
    return names.count(name) > 0;
}

void checkProgramScript(const std::string& file)
{
    size_t declared = 0;
    for (const auto& program : programs()) {
        if (program->getOrigin() != file) {
            continue;
        }
        ++declared;
        EXPECT_TRUE(Ogre::ResourceGroupManager::getSingleton().resourceExists(kGroup, program->getSourceFile()))
            << program->getName() << " in " << file << " reads the missing " << program->getSourceFile();
    }
    EXPECT_GT(declared, 0u) << file << " declares no shader program";
}

void checkShaderSource(const std::string& file)
{
    const auto all = programs();
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const auto& p) { return p->getSourceFile() == file; }))
        << file << " is the source of no program";
    const std::string text = readResource(file);
    EXPECT_EQ(text.rfind("#version 120", 0), 0u) << file << " should start with #version 120 (the GL render system)";
    EXPECT_NE(text.find("void main()"), std::string::npos) << file << " has no main()";
}

void checkCompositorScript(const std::string& file)
{
    size_t declared = 0;
    auto it = Ogre::CompositorManager::getSingleton().getResourceIterator();
    while (it.hasMoreElements()) {
        Ogre::CompositorPtr compositor = Ogre::static_pointer_cast<Ogre::Compositor>(it.getNext());
        if (compositor->getOrigin() != file) {
            continue;
        }
        ++declared;
        ASSERT_GT(compositor->getNumTechniques(), 0u) << compositor->getName();
        Ogre::CompositionTechnique* technique = compositor->getTechnique(0);
        size_t quads = 0;
        std::vector<Ogre::CompositionTargetPass*> targets = technique->getTargetPasses();
        targets.push_back(technique->getOutputTargetPass());
        for (Ogre::CompositionTargetPass* target : targets) {
            for (Ogre::CompositionPass* pass : target->getPasses()) {
                if (pass->getType() != Ogre::CompositionPass::PT_RENDERQUAD) {
                    continue;
                }
                ++quads;
                EXPECT_TRUE(pass->getMaterial()) << compositor->getName() << " draws with a material no script defines";
            }
        }
        EXPECT_GT(quads, 0u) << compositor->getName() << " draws nothing of its own";
    }
    EXPECT_GT(declared, 0u) << file << " declares no compositor";
}

void checkOverlayScript(const std::string& file)
{
    size_t declared = 0;
    auto overlays = Ogre::OverlayManager::getSingleton().getOverlayIterator();
    while (overlays.hasMoreElements()) {
        Ogre::Overlay* overlay = overlays.getNext();
        if (overlay->getOrigin() != file) {
            continue;
        }
        ++declared;
        EXPECT_FALSE(overlay->get2DElements().empty()) << overlay->getName() << " is empty";
        for (Ogre::OverlayContainer* container : overlay->get2DElements()) {
            const std::string& name = container->getMaterialName();
            EXPECT_TRUE(name.empty() || material(name)) << container->getName() << " uses the missing material " << name;
        }
    }
    EXPECT_GT(declared, 0u) << file << " declares no overlay";
}

void checkFontScript(const std::string& file)
{
    size_t declared = 0;
    auto it = Ogre::FontManager::getSingleton().getResourceIterator();
    while (it.hasMoreElements()) {
        Ogre::FontPtr font = Ogre::static_pointer_cast<Ogre::Font>(it.getNext());
        if (font->getOrigin() != file) {
            continue;
        }
        ++declared;
        EXPECT_EQ(font->getType(), Ogre::FT_TRUETYPE) << font->getName();
        EXPECT_TRUE(Ogre::ResourceGroupManager::getSingleton().resourceExists(kGroup, font->getSource()))
            << font->getName() << ": " << font->getSource()
            << " is not in the group (fonts-dejavu-core, and its folder in run/resources.cfg)";
    }
    EXPECT_GT(declared, 0u) << file << " declares no font";
}

void checkParticleScript(const std::string& file)
{
    size_t declared = 0;
    auto it = Ogre::ParticleSystemManager::getSingleton().getTemplateIterator();
    while (it.hasMoreElements()) {
        Ogre::ParticleSystem* system = it.getNext();
        if (system->getOrigin() != file) {
            continue;
        }
        ++declared;
        EXPECT_GT(system->getNumEmitters(), 0u) << system->getName() << " emits nothing";
        EXPECT_TRUE(material(system->getMaterialName()))
            << system->getName() << " uses the missing material " << system->getMaterialName();
    }
    EXPECT_GT(declared, 0u) << file << " declares no particle template";
}

std::vector<std::string> entityTypes(const std::string& file)
{
    std::istringstream in(readResource(file));
    std::vector<std::string> words;
    std::string line;
    while (std::getline(in, line)) {
        words.push_back(Ogre::StringUtil::replaceAll(line, "\r", ""));
    }
    return words;
}

void checkEntityTypeList(const std::string& file)
{
    const std::vector<std::string> words = entityTypes(file);
    std::set<std::string> seen;
    for (const std::string& word : words) {
        // the editor offers each line as it is: no blanks, no repeats
        EXPECT_FALSE(word.empty()) << file << " has an empty line";
        EXPECT_EQ(word.find_first_of(" \t"), std::string::npos) << file << ": \"" << word << "\" is not one word";
        EXPECT_TRUE(seen.insert(word).second) << file << " lists " << word << " twice";
    }
}

namespace {

// --- names the game asks for ---------------------------------------------------

TEST(EffectNames, EveryMaterialTheCodeNamesExists)
{
    for (const char* name :
         {"KELVO/Trigger", "KELVO/Sound", "KELVO/Transparent", "KELVO/FADING", "KELVO/CINEFADINGTOP",
          "KELVO/CINEFADINGBOT", "KELVO/INTROSRC", "KELVO/INTRODST", "KELVO/BLACK", "KELVO/SkyDome", "KELVO/Sun",
          "KELVO/XAxe", "KELVO/YAxe", "KELVO/ZAxe", "Examples/FresnelReflectionRefraction", "Examples/GrassBlades",
          "Examples/SpaceSkyBox", "Ogre/Compositor/Combine", "Ogre/Compositor/Copyback",
          "Ogre/Compositor/MotionBlur"}) {
        EXPECT_TRUE(material(name)) << name;
    }
}

TEST(EffectNames, FadersBlendByTheAlphaOfTheirFirstTextureUnit)
{
    for (const char* name : {"KELVO/FADING", "KELVO/CINEFADINGTOP", "KELVO/CINEFADINGBOT", "KELVO/INTROSRC",
                             "KELVO/INTRODST", "KELVO/BLACK"}) {
        Ogre::MaterialPtr m = material(name);
        ASSERT_TRUE(m) << name;
        Ogre::Pass* pass = m->getTechnique(0)->getPass(0);
        EXPECT_EQ(pass->getSourceBlendFactor(), Ogre::SBF_SOURCE_ALPHA) << name << " is not alpha-blended";
        EXPECT_EQ(pass->getDestBlendFactor(), Ogre::SBF_ONE_MINUS_SOURCE_ALPHA) << name << " is not alpha-blended";
        EXPECT_FALSE(pass->getLightingEnabled()) << name << " would darken with the scene's lights";
        EXPECT_FALSE(pass->getDepthCheckEnabled()) << name << " could hide behind the scene";
        ASSERT_GT(pass->getNumTextureUnitStates(), 0u) << name << " has no texture unit to fade";
        EXPECT_FALSE(pass->getTextureUnitState(0)->getTextureName().empty()) << name;
    }
    // the cinema bars soften toward the picture: opaque at the screen edge only
    Ogre::Image top;
    top.load("cinebar_top.png", kGroup);
    EXPECT_GT(top.getColourAt(0, 0, 0).a, 0.99f);
    EXPECT_LT(top.getColourAt(0, top.getHeight() - 1, 0).a, 0.5f);
}

TEST(EffectNames, SkyGradientsSpanADayAndNight)
{
    struct Strip {
        const char* file;
        Ogre::Image image;
    };
    for (const char* file : {"skydome.png", "hazeColours.png", "suncolours.png"}) {
        Ogre::Image image;
        image.load(file, kGroup);
        EXPECT_EQ(image.getHeight(), 1u) << file << " should be one pixel high";
        ASSERT_GE(image.getWidth(), 64u) << file;
        const size_t w = image.getWidth();
        auto at = [&](double hour) { return image.getColourAt(size_t(hour / 24.0 * w) % w, 0, 0); };
        auto luma = [](const Ogre::ColourValue& c) { return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b; };
        EXPECT_GT(luma(at(12.0)), luma(at(0.0)) + 0.3f) << file << ": noon is not brighter than midnight";
        // the sampler blends the last pixel into the first: no jump at midnight
        const Ogre::ColourValue first = image.getColourAt(0, 0, 0);
        const Ogre::ColourValue last = image.getColourAt(w - 1, 0, 0);
        EXPECT_LT(std::fabs(luma(first) - luma(last)), 0.05f) << file << " jumps at midnight";
        if (std::string(file) == "skydome.png") {
            EXPECT_GT(at(12.0).b, at(12.0).r) << "the noon sky is not blue";
        }
        if (std::string(file) == "suncolours.png") {
            EXPECT_LT(luma(at(0.0)), 0.02f) << "the sun shines at midnight";
            EXPECT_GT(at(18.0).r, at(18.0).b + 0.3f) << "the setting sun is not red";
        }
    }
}

TEST(EffectNames, WaterMaterialHasRipplesAndSlotsForReflectionAndRefraction)
{
    Ogre::MaterialPtr m = material("Examples/FresnelReflectionRefraction");
    ASSERT_TRUE(m);
    Ogre::Pass* pass = m->getTechnique(0)->getPass(0);
    EXPECT_TRUE(pass->hasVertexProgram());
    EXPECT_TRUE(pass->hasFragmentProgram());
    // the game binds "Reflection" to unit 1 and "Refraction" to unit 2
    ASSERT_GE(pass->getNumTextureUnitStates(), 3u);
    for (int unit : {1, 2}) {
        EXPECT_TRUE(pass->getTextureUnitState(unit)->getTextureAddressingMode().u == Ogre::TAM_CLAMP)
            << "unit " << unit << " samples a picture of the screen and must not wrap";
    }
}

TEST(EffectNames, OverlaysHaveEveryElementThePlayStateWrites)
{
    auto& overlays = Ogre::OverlayManager::getSingleton();
    EXPECT_TRUE(overlays.getByName("Core/DebugOverlay"));
    EXPECT_TRUE(overlays.getByName("Kelvo/CrossHair"));
    for (const char* name :
         {"Core/AverageFps", "Core/CurrFps", "Core/BestFps", "Core/WorstFps", "Core/NumTris", "Core/DebugText"}) {
        ASSERT_TRUE(overlays.hasOverlayElement(name)) << name;
        Ogre::OverlayElement* element = overlays.getOverlayElement(name);
        EXPECT_EQ(element->getTypeName(), "TextArea") << name;
        EXPECT_EQ(element->getParameter("font_name"), "Kelvo/DebugFont") << name;
    }
    EXPECT_TRUE(Ogre::FontManager::getSingleton().getByName("Kelvo/DebugFont", kGroup));
}

TEST(EffectNames, PlayStateChainAndMotionBlurMaterialsExist)
{
    for (const char* name : {"Bloom", "Invert", "fxplugin_filter_wounded", "fxplugin_filter_tonemap",
                             "fxplugin_filter_specular_bloom", "fxplugin_rain_window", "fxplugin/filter_filmgrain",
                             "fxplugin_filter_hatching"}) {
        EXPECT_TRUE(Ogre::CompositorManager::getSingleton().getByName(name, kGroup)) << name;
    }
    // "Motion Blur" (built in code) feeds Combine two inputs, the others one
    const std::pair<const char*, size_t> inputs[] = {
        {"Ogre/Compositor/Combine", 2}, {"Ogre/Compositor/Copyback", 1}, {"Ogre/Compositor/MotionBlur", 1}};
    for (const auto& [name, count] : inputs) {
        Ogre::MaterialPtr m = material(name);
        ASSERT_TRUE(m) << name;
        EXPECT_EQ(m->getTechnique(0)->getPass(0)->getNumTextureUnitStates(), count) << name;
    }
}

TEST(EffectNames, ParticleTemplatesForBothWeaponsAndTheIsland)
{
    for (const char* name : {"Kelvo/Bullet1Fly", "Kelvo/Bullet1Hit", "Kelvo/Bullet2Fly", "Kelvo/Bullet2Hit",
                             "Kelvo/FountainSpray", "Kelvo/Smoke", "Kelvo/Fire", "Kelvo/Fireflies",
                             "Kelvo/CaveDust"}) {
        Ogre::ParticleSystem* system = Ogre::ParticleSystemManager::getSingleton().getTemplate(name);
        ASSERT_TRUE(system) << name;
        // a flying ball must leave its trail in the world, not drag it along
        EXPECT_FALSE(system->getKeepParticlesInLocalSpace()) << name;
    }
    // the hits are bursts: every emitter of a hit stops by itself
    for (const char* name : {"Kelvo/Bullet1Hit", "Kelvo/Bullet2Hit"}) {
        Ogre::ParticleSystem* system = Ogre::ParticleSystemManager::getSingleton().getTemplate(name);
        for (unsigned short i = 0; i < system->getNumEmitters(); ++i) {
            EXPECT_GT(system->getEmitter(i)->getDuration(), 0.0f) << name << " emitter " << i << " never stops";
        }
    }
}

TEST(EffectNames, EntityTypeListHasTheGameTypesInOrder)
{
    const std::vector<std::string> words = entityTypes("entitytypes.def");
    const std::vector<std::string> required = {"Player", "NPC",    "Spider",           "Trigger",
                                               "Bird",   "Static", "StaticNonCollide", "FresnelPlane"};
    ASSERT_GE(words.size(), required.size());
    EXPECT_TRUE(std::equal(required.begin(), required.end(), words.begin()));
}

// --- props ---------------------------------------------------------------------

struct Geometry {
    std::vector<Ogre::Vector3> positions;
    std::vector<Ogre::Vector3> normals;
    std::vector<Ogre::Vector2> uvs;
};

Geometry geometryOf(const Ogre::MeshPtr& mesh)
{
    Geometry g;
    for (Ogre::SubMesh* sub : mesh->getSubMeshes()) {
        const Ogre::VertexData* data = sub->useSharedVertices ? mesh->sharedVertexData : sub->vertexData;
        auto read = [&](Ogre::VertexElementSemantic semantic, auto store) {
            const Ogre::VertexElement* element = data->vertexDeclaration->findElementBySemantic(semantic);
            if (!element) {
                return;
            }
            auto buffer = data->vertexBufferBinding->getBuffer(element->getSource());
            auto* base = static_cast<unsigned char*>(buffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
            for (size_t i = 0; i < data->vertexCount; ++i) {
                float* p = nullptr;
                element->baseVertexPointerToElement(base + (data->vertexStart + i) * buffer->getVertexSize(), &p);
                store(p);
            }
            buffer->unlock();
        };
        read(Ogre::VES_POSITION, [&](float* p) { g.positions.emplace_back(p[0], p[1], p[2]); });
        read(Ogre::VES_NORMAL, [&](float* p) { g.normals.emplace_back(p[0], p[1], p[2]); });
        read(Ogre::VES_TEXTURE_COORDINATES, [&](float* p) { g.uvs.emplace_back(p[0], p[1]); });
    }
    return g;
}

Ogre::AxisAlignedBox boundsOf(const Geometry& g)
{
    Ogre::AxisAlignedBox box;
    for (const Ogre::Vector3& p : g.positions) {
        box.merge(p);
    }
    return box;
}

Geometry load(const std::string& name)
{
    return geometryOf(Ogre::MeshManager::getSingleton().load(name, kGroup));
}

class PropCheck : public ::testing::TestWithParam<ExpectedProp> {
};

} // namespace

void PrintTo(const ExpectedProp& expected, std::ostream* out)
{
    *out << expected.mesh;
}

namespace {

TEST_P(PropCheck, StandsAtItsSizeTexturedFromTheSharedAtlases)
{
    const ExpectedProp& expected = GetParam();
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().load(expected.mesh, kGroup);
    for (Ogre::SubMesh* sub : mesh->getSubMeshes()) {
        EXPECT_TRUE(sub->getMaterialName() == "KELVO/Props" || sub->getMaterialName() == "KELVO/Foliage")
            << expected.mesh << " uses " << sub->getMaterialName();
    }
    const Geometry g = geometryOf(mesh);
    const Ogre::AxisAlignedBox box = boundsOf(g);
    EXPECT_GE(box.getMaximum().y, expected.minHeight) << expected.mesh << " is too low for the hero's world";
    EXPECT_LE(box.getMaximum().y, expected.maxHeight) << expected.mesh << " is too tall for the hero's world";
    if (expected.onGround) {
        EXPECT_NEAR(box.getMinimum().y, 0.0f, 0.05f) << expected.mesh << " floats or sinks";
    }
    ASSERT_EQ(g.uvs.size(), g.positions.size()) << expected.mesh << " lacks texture coordinates";
    for (const Ogre::Vector2& uv : g.uvs) {
        ASSERT_TRUE(uv.x >= 0.0f && uv.x <= 1.0f && uv.y >= 0.0f && uv.y <= 1.0f)
            << expected.mesh << " reaches outside its atlas at " << uv;
    }
}

std::string propName(const ::testing::TestParamInfo<ExpectedProp>& info)
{
    std::string name = info.param.mesh.substr(0, info.param.mesh.find('.'));
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Props, PropCheck, ::testing::ValuesIn(props()), propName);

TEST(GizmoMeshes, ArrowsAndRingLieAlongX)
{
    // the editor stretches the shaft along X to the object's size and puts the
    // head at the shaft's end: shaft from 0 to 1, head from 0 forward
    const Ogre::AxisAlignedBox shaft = boundsOf(load("pfeil_schaft.mesh"));
    EXPECT_NEAR(shaft.getMinimum().x, 0.0f, 1e-3f);
    EXPECT_NEAR(shaft.getMaximum().x, 1.0f, 1e-3f);
    EXPECT_LT(shaft.getSize().y, 0.1f) << "a stretched shaft would be as thick as the object";
    const Ogre::AxisAlignedBox head = boundsOf(load("pfeil_spitze.mesh"));
    EXPECT_NEAR(head.getMinimum().x, 0.0f, 1e-3f);
    EXPECT_GT(head.getSize().x, head.getSize().y) << "the head does not point along X";
    EXPECT_GT(head.getSize().y, shaft.getSize().y) << "the head is no wider than the shaft";
    // a ring round X, radius 1 (the editor scales it by the object's size)
    const Ogre::AxisAlignedBox ring = boundsOf(load("torus.mesh"));
    EXPECT_LT(ring.getSize().x, 0.1f);
    EXPECT_NEAR(ring.getSize().y, 2.0f, 0.1f);
    EXPECT_NEAR(ring.getSize().z, 2.0f, 0.1f);
    // the locator: tail at 0, point at x = 1 (turned down and lifted by its length)
    const Geometry arrow = load("arrow.mesh");
    const auto tip = std::max_element(arrow.positions.begin(), arrow.positions.end(),
                                      [](const auto& a, const auto& b) { return a.x < b.x; });
    EXPECT_NEAR(tip->x, 1.0f, 1e-3f);
    EXPECT_LT(std::hypot(tip->y, tip->z), 0.01f) << "the locator's point is off its axis";
}

TEST(EffectMeshes, SkyDomeIsSeenFromInsideAndEnergyBallIsSmall)
{
    const Geometry dome = load("SkyDome.mesh");
    const Ogre::AxisAlignedBox box = boundsOf(dome);
    EXPECT_NEAR(box.getMaximum().y, 1.0f, 0.01f) << "the game scales a unit dome";
    EXPECT_LT(box.getMinimum().y, 0.0f) << "a gap would show below the horizon";
    size_t inward = 0;
    for (size_t i = 0; i < dome.positions.size(); ++i) {
        inward += dome.normals[i].dotProduct(dome.positions[i]) < 0.0f;
    }
    EXPECT_EQ(inward, dome.positions.size()) << "normals of the dome face outward";
    const Ogre::AxisAlignedBox ball = boundsOf(load("box.mesh"));
    EXPECT_LT(ball.getSize().length(), 2.0f) << "the ball rides 3 units above the hero's feet";
    EXPECT_TRUE(ball.contains(Ogre::Vector3::ZERO)) << "the ball is not centred on its node";
}

} // namespace
} // namespace KelvoMedia
