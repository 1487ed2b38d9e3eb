// Checks of the effect scripts and props for the headless media check: the
// loaders of their file types (MediaCheck.cpp's table) and the names the
// game's code asks for. Defined in EffectsCheck.cpp.
#pragma once

#include <string>

namespace KelvoMedia {

// Names fixed by the engine code (the sample names the game kept), which
// cannot take the game's KELVO/ prefix.
bool isEngineNamedMaterial(const std::string& name);

void checkProgramScript(const std::string& file);
void checkShaderSource(const std::string& file);
void checkCompositorScript(const std::string& file);
void checkOverlayScript(const std::string& file);
void checkFontScript(const std::string& file);
void checkParticleScript(const std::string& file);
void checkEntityTypeList(const std::string& file);

} // namespace KelvoMedia
